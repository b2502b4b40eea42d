#include "net/Scramble.h"

bool Unscramble(std::span<const unsigned char> scrambled,
                std::span<const unsigned char, kScrambleKeyLength> key, std::span<char> out) {
  if (out.empty()) {
    return false;
  }
  out[0] = '\0';
  if (scrambled.size() >= out.size()) {
    return false;
  }
  for (std::size_t i = 0; i < scrambled.size(); ++i) {
    out[i] = static_cast<char>(scrambled[i] ^ key[i % kScrambleKeyLength]);
  }
  out[scrambled.size()] = '\0';
  return true;
}
