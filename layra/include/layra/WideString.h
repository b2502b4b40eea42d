#pragma once

#include <layra/Export.h>
#include <string>
#include <string_view>

/** Text as UTF-16 code units, the host's wide form. */
class LAYRA_API WideString {
public:
  WideString() = default;
  explicit WideString(std::u16string units) : fUnits(std::move(units)) {}
  explicit WideString(std::string_view utf8);

  const std::u16string& Units() const { return fUnits; }
  std::string ToUTF8() const;
  std::size_t Length() const { return fUnits.size(); }
  bool IsEmpty() const { return fUnits.empty(); }
  void Append(const WideString& other) { fUnits += other.fUnits; }

  friend bool operator==(const WideString&, const WideString&) = default;

private:
  std::u16string fUnits;
};

namespace layra {
LAYRA_API std::u16string UTF8ToUTF16(std::string_view utf8);
LAYRA_API std::string UTF16ToUTF8(std::u16string_view utf16);
} // namespace layra
