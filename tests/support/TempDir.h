#pragma once

#include <filesystem>

namespace folivox::test {

// A fresh folder under the system temporary folder, removed with everything in it on
// destruction. path() is empty when the folder could not be created.
class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return fPath; }

private:
  std::filesystem::path fPath;
};

} // namespace folivox::test
