#pragma once
// The string tables of every loaded plug-in, merged per locale code.

#include <map>
#include <optional>
#include <string>

namespace layra {

class StringTables {
public:
  using Table = std::map<std::string, std::string>;

  static StringTables& Instance();

  /** Merges `table` into the tables of `localeCode`; an empty code means every locale. */
  void AddTable(std::optional<int> localeCode, const Table& table);
  void SetLocale(int localeCode) { fLocale = localeCode; }
  int GetLocale() const { return fLocale; }
  /** The text of `key` in the current locale; nullopt when the table has none. */
  std::optional<std::string> Lookup(const std::string& key) const;
  void Clear();

private:
  std::map<int, Table> fByLocale;
  Table fEveryLocale;
  int fLocale = 1;
};

} // namespace layra
