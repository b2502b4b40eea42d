#include "TempHome.h"

#include <cstdlib>
#include <system_error>

namespace folivox::test {

TempHome::TempHome() {
  if (path().empty()) {
    return;
  }
  std::error_code ignored;
  std::filesystem::create_directories(dataDir(), ignored);
  std::filesystem::create_directories(configDir(), ignored);
  Set("HOME", path());
  Set("XDG_DATA_HOME", dataDir());
  Set("XDG_CONFIG_HOME", configDir());
  // Pictures the host decodes are cached here, not in the real user's cache.
  Set("XDG_CACHE_HOME", path() / "cache");
}

TempHome::~TempHome() {
  for (auto it = fSaved.rbegin(); it != fSaved.rend(); ++it) {
    if (it->value) {
      setenv(it->name.c_str(), it->value->c_str(), 1);
    } else {
      unsetenv(it->name.c_str());
    }
  }
}

void TempHome::Set(const std::string& name, const std::filesystem::path& value) {
  const char* previous = std::getenv(name.c_str());
  fSaved.push_back({name, previous ? std::optional<std::string>(previous) : std::nullopt});
  setenv(name.c_str(), value.c_str(), 1);
}

} // namespace folivox::test
