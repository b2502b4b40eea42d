#include "TempDir.h"

#include <cstdlib>
#include <string>
#include <system_error>

namespace folivox::test {

TempDir::TempDir() {
  std::error_code error;
  const std::filesystem::path base = std::filesystem::temp_directory_path(error);
  if (error) {
    return;
  }
  std::string pattern = (base / "folivox-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    return;
  }
  fPath = pattern;
}

TempDir::~TempDir() {
  if (fPath.empty()) {
    return;
  }
  std::error_code ignored;
  std::filesystem::remove_all(fPath, ignored);
}

} // namespace folivox::test
