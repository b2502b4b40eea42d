#include "WholeFile.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/stat.h>
#include <system_error>

namespace folivox::test {

std::optional<std::string> TryReadWholeFile(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    return std::nullopt;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return std::nullopt;
  }
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) {
    return std::nullopt;
  }
  return bytes;
}

std::string ReadWholeFile(const std::filesystem::path& path) {
  return TryReadWholeFile(path).value_or(std::string());
}

bool WriteWholeFile(const std::filesystem::path& path, std::string_view bytes) {
  if (path.has_parent_path()) {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) {
      return false;
    }
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

std::vector<std::string> ReadLines(const std::filesystem::path& path) {
  std::istringstream in(ReadWholeFile(path));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

unsigned PermissionBits(const std::filesystem::path& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

} // namespace folivox::test
