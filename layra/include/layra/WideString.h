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
/** What becomes of bytes that are not UTF-8 (a name written in another encoding): replaced by
 *  U+FFFD for showing, or kept, as U+DC80..U+DCFF, so that a stored text reads back as the
 *  same bytes and two such texts never become one. */
enum class InvalidUTF8 { Replace, Keep };
LAYRA_API std::u16string UTF8ToUTF16(std::string_view utf8,
                                     InvalidUTF8 invalid = InvalidUTF8::Replace);
LAYRA_API std::string UTF16ToUTF8(std::u16string_view utf16,
                                  InvalidUTF8 invalid = InvalidUTF8::Replace);
} // namespace layra
