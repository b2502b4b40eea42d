#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace layra {
std::string EncodeBase64(const std::vector<unsigned char>& bytes);
/** White space is skipped; nullopt for any other character outside the alphabet. */
std::optional<std::vector<unsigned char>> DecodeBase64(std::string_view text);
} // namespace layra
