#include "StringTables.h"

namespace layra {

StringTables& StringTables::Instance() {
  static StringTables tables;
  return tables;
}

void StringTables::AddTable(std::optional<int> localeCode, const Table& table) {
  Table& target = localeCode ? fByLocale[*localeCode] : fEveryLocale;
  for (const auto& [key, text] : table)
    target[key] = text;
}

std::optional<std::string> StringTables::Lookup(const std::string& key) const {
  if (auto locale = fByLocale.find(fLocale); locale != fByLocale.end()) {
    if (auto found = locale->second.find(key); found != locale->second.end())
      return found->second;
  }
  if (auto found = fEveryLocale.find(key); found != fEveryLocale.end())
    return found->second;
  return std::nullopt;
}

void StringTables::Clear() {
  fByLocale.clear();
  fEveryLocale.clear();
}

} // namespace layra
