#pragma once
// Stored forms written field by field, so that a test can forge any field.

#include "prefs/KDictionary.h"

#include <layra/IPMStream.h>
#include <layra/StreamUtil.h>

#include <cstdint>
#include <vector>

namespace folivox::test {

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

struct LoadResult {
  KDictionary dictionary;
  bool streamGood;
};

inline LoadResult Load(std::vector<unsigned char> bytes) {
  InterfacePtr<IPMStream> stream(StreamUtil::CreateMemoryStreamRead(std::move(bytes)));
  LoadResult result{{}, false};
  result.dictionary.ReadWrite(stream);
  result.streamGood = stream->IsGood();
  return result;
}

inline std::vector<unsigned char> Save(KDictionary& dictionary) {
  InterfacePtr<IPMStream> stream(StreamUtil::CreateMemoryStreamWrite());
  dictionary.ReadWrite(stream);
  return StreamUtil::GetMemoryStreamBytes(stream);
}

} // namespace folivox::test
