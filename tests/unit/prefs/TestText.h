#pragma once
// Texts written inline in tests, and readable failure messages for them.

#include <layra/PMString.h>

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

} // namespace folivox::test
