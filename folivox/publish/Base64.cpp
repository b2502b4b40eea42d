#include "publish/Base64.h"

#include <array>
#include <cstdint>

namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::int8_t kNotInAlphabet = -1;

constexpr std::array<std::int8_t, 256> MakeDecodingTable() {
  std::array<std::int8_t, 256> table{};
  table.fill(kNotInAlphabet);
  for (std::size_t index = 0; index < kAlphabet.size(); ++index)
    table[static_cast<unsigned char>(kAlphabet[index])] = static_cast<std::int8_t>(index);
  return table;
}

constexpr std::array<std::int8_t, 256> kDecodingTable = MakeDecodingTable();

bool IsSkipped(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

// Collects six-bit groups and hands out whole bytes as soon as eight bits are there.
class BitCollector {
public:
  void Push(std::int8_t sextet, std::string& out) {
    fBits = (fBits << 6) | static_cast<std::uint32_t>(sextet);
    fCount += 6;
    if (fCount < 8)
      return;
    fCount -= 8;
    out.push_back(static_cast<char>((fBits >> fCount) & 0xFF));
  }

private:
  std::uint32_t fBits = 0;
  int fCount = 0;
};

} // namespace

std::string Base64Encode(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t index = 0;
  for (; index + 3 <= bytes.size(); index += 3) {
    const std::uint32_t group =
        static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[index])) << 16 |
        static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[index + 1])) << 8 |
        static_cast<unsigned char>(bytes[index + 2]);
    for (int shift = 18; shift >= 0; shift -= 6)
      out.push_back(kAlphabet[(group >> shift) & 0x3F]);
  }
  const std::size_t rest = bytes.size() - index;
  if (rest == 0)
    return out;
  std::uint32_t group = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[index])) << 16;
  if (rest == 2)
    group |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[index + 1])) << 8;
  out.push_back(kAlphabet[(group >> 18) & 0x3F]);
  out.push_back(kAlphabet[(group >> 12) & 0x3F]);
  out.push_back(rest == 2 ? kAlphabet[(group >> 6) & 0x3F] : '=');
  out.push_back('=');
  return out;
}

std::optional<std::string> Base64Decode(std::string_view text) {
  std::string out;
  BitCollector collector;
  std::size_t characters = 0;
  std::size_t padding = 0;
  for (const char c : text) {
    if (IsSkipped(c))
      continue;
    if (c == '=') {
      ++padding;
      continue;
    }
    const std::int8_t sextet = kDecodingTable[static_cast<unsigned char>(c)];
    if (sextet == kNotInAlphabet || padding > 0)
      return std::nullopt;
    collector.Push(sextet, out);
    ++characters;
  }
  // A single character left over carries fewer than eight bits: no encoder writes that.
  const std::size_t leftOver = characters % 4;
  if (leftOver == 1 || padding > 2)
    return std::nullopt;
  if (padding > 0 && (characters + padding) % 4 != 0)
    return std::nullopt;
  return out;
}
