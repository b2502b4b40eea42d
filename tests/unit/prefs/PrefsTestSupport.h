#pragma once
// Texts written inline with readable failures, and stored dictionaries written
// field by field so that a test can forge any field.

#include "prefs/KDictionary.h"

#include <layra/IPMStream.h>
#include <layra/StreamUtil.h>

#include <initializer_list>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

inline void PrintTo(const PMString& text, std::ostream* out) {
  *out << '"' << text.GetUTF8String() << '"';
}

namespace folivox::test {

inline std::vector<PMString> Texts(std::initializer_list<const char*> texts) {
  return std::vector<PMString>(texts.begin(), texts.end());
}

/** A looked-up value as plain text; "(none)" when there was none. */
inline std::string TextOf(const std::unique_ptr<PMString>& value) {
  return value ? value->GetUTF8String() : "(none)";
}

class StoredBytes {
public:
  StoredBytes& Int32(std::int32_t value) {
    fStream->XferInt32(value);
    return *this;
  }
  StoredBytes& Text(const char* text) {
    PMString(text).ReadWrite(fStream);
    return *this;
  }
  StoredBytes& Pair(const char* key, const char* value) { return Text(key).Text(value); }
  std::vector<unsigned char> Bytes() const { return StreamUtil::GetMemoryStreamBytes(fStream); }

private:
  InterfacePtr<IPMStream> fStream{StreamUtil::CreateMemoryStreamWrite()};
};

/** Loads `bytes` into `dictionary`; whether the stream was still good afterwards. */
inline bool Load(KDictionary& dictionary, std::vector<unsigned char> bytes) {
  InterfacePtr<IPMStream> stream(StreamUtil::CreateMemoryStreamRead(std::move(bytes)));
  dictionary.ReadWrite(stream);
  return stream->IsGood();
}

inline std::vector<unsigned char> Save(KDictionary& dictionary) {
  InterfacePtr<IPMStream> stream(StreamUtil::CreateMemoryStreamWrite());
  dictionary.ReadWrite(stream);
  return StreamUtil::GetMemoryStreamBytes(stream);
}

} // namespace folivox::test
