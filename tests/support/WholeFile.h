#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace folivox::test {

// The file's bytes, or nullopt when it cannot be read.
std::optional<std::string> TryReadWholeFile(const std::filesystem::path& path);

// The file's bytes; "" when it cannot be read.
std::string ReadWholeFile(const std::filesystem::path& path);

// Replaces the file with these bytes, creating missing parent folders. False on failure.
bool WriteWholeFile(const std::filesystem::path& path, std::string_view bytes);

// The permission bits of a file or folder; 0 when it cannot be examined.
unsigned PermissionBits(const std::filesystem::path& path);

// The file's lines without their line ends; empty when it cannot be read.
std::vector<std::string> ReadLines(const std::filesystem::path& path);

} // namespace folivox::test
