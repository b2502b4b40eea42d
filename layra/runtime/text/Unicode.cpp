#include <layra/WideString.h>

#include <optional>

namespace layra {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
// A kept byte 0x80..0xFF becomes U+DC80..U+DCFF: a lone low surrogate, which no valid UTF-8
// decodes to and no two bytes share.
constexpr char32_t kKeptByteBase = 0xDC00;

bool IsKeptByte(char32_t code) {
  return code >= kKeptByteBase + 0x80 && code <= kKeptByteBase + 0xFF;
}

// The code point of the sequence at i, or nullopt when it is no valid UTF-8; i moves past
// the bytes read either way.
std::optional<char32_t> DecodeUTF8(std::string_view text, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i++]);
  if (lead < 0x80)
    return lead;
  int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
  if (extra < 0 || lead > 0xF4)
    return std::nullopt;
  char32_t code = lead & (0x3F >> extra);
  for (int k = 0; k < extra; ++k) {
    if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
      return std::nullopt;
    code = (code << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
  }
  if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
    return std::nullopt;
  return code;
}

void EncodeUTF8(char32_t code, std::string& out) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

} // namespace

std::u16string UTF8ToUTF16(std::string_view utf8, InvalidUTF8 invalid) {
  std::u16string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t start = i;
    std::optional<char32_t> decoded = DecodeUTF8(utf8, i);
    if (!decoded && invalid == InvalidUTF8::Keep) {
      // Only the first byte is taken; the next may start a valid sequence.
      i = start + 1;
      decoded = kKeptByteBase + static_cast<unsigned char>(utf8[start]);
    }
    char32_t code = decoded.value_or(kReplacement);
    if (code < 0x10000) {
      out += static_cast<char16_t>(code);
      continue;
    }
    code -= 0x10000;
    out += static_cast<char16_t>(0xD800 | (code >> 10));
    out += static_cast<char16_t>(0xDC00 | (code & 0x3FF));
  }
  return out;
}

std::string UTF16ToUTF8(std::u16string_view utf16, InvalidUTF8 invalid) {
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    char32_t code = utf16[i];
    const bool high = code >= 0xD800 && code <= 0xDBFF;
    const bool low = code >= 0xDC00 && code <= 0xDFFF;
    if (high && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (utf16[++i] - 0xDC00);
    } else if (low && invalid == InvalidUTF8::Keep && IsKeptByte(code)) {
      out += static_cast<char>(code - kKeptByteBase);
      continue;
    } else if (high || low) {
      code = kReplacement;
    }
    EncodeUTF8(code, out);
  }
  return out;
}

} // namespace layra

WideString::WideString(std::string_view utf8) : fUnits(layra::UTF8ToUTF16(utf8)) {}

std::string WideString::ToUTF8() const {
  return layra::UTF16ToUTF8(fUnits);
}
