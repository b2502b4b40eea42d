#pragma once
// Texts kept out of the library's readable strings. The build scrambles them (Scramble.cmake);
// the plug-in turns them back into clear text only just before it uses them.

#include <cstddef>
#include <span>

inline constexpr std::size_t kScrambleKeyLength = 9;

/**
 * Writes the clear text of `scrambled` (byte i XORed with key[i % 9]) into `out` and
 * terminates it. False, with `out` left empty, when the text and terminator do not fit.
 */
bool Unscramble(std::span<const unsigned char> scrambled,
                std::span<const unsigned char, kScrambleKeyLength> key, std::span<char> out);
