#include "base/PercentEncoding.h"

namespace {

bool IsUnreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

int HexValue(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  return -1;
}

// The byte a %XX at the start of `text` stands for; -1 when it is no such sequence. A NUL would
// cut a C string short and a line break would end the FTP command that carries the text, so
// control characters stay encoded.
int EncodedByte(std::string_view text) {
  if (text.size() < 3 || text[0] != '%' || HexValue(text[1]) < 0 || HexValue(text[2]) < 0)
    return -1;
  const int byte = HexValue(text[1]) * 16 + HexValue(text[2]);
  return byte < 0x20 || byte == 0x7F ? -1 : byte;
}

} // namespace

std::string PercentEncode(std::string_view text) {
  static constexpr char kHexDigits[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsUnreserved(byte)) {
      encoded += c;
      continue;
    }
    encoded += '%';
    encoded += kHexDigits[byte >> 4];
    encoded += kHexDigits[byte & 0xF];
  }
  return encoded;
}

std::string PercentDecode(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  while (!text.empty()) {
    const int byte = EncodedByte(text);
    decoded += byte < 0 ? text.front() : static_cast<char>(byte);
    text.remove_prefix(byte < 0 ? 1 : 3);
  }
  return decoded;
}
