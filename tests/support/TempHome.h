#pragma once

#include "TempDir.h"
#include "WholeFile.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace folivox::test {

// Points HOME, XDG_DATA_HOME and XDG_CONFIG_HOME at a fresh folder for the object's lifetime,
// so code that keeps per-user files never touches the real home of whoever runs the tests.
// The previous values come back, and the folder goes away, on destruction. Not thread-safe:
// create it before starting threads that read the environment.
class TempHome {
public:
  TempHome();
  ~TempHome();
  TempHome(const TempHome&) = delete;
  TempHome& operator=(const TempHome&) = delete;

  // Empty when the temporary folder could not be created; nothing was changed then.
  const std::filesystem::path& path() const { return fDir.path(); }
  std::filesystem::path dataDir() const { return path() / "data"; }
  std::filesystem::path configDir() const { return path() / "config"; }

private:
  struct SavedVariable {
    std::string name;
    std::optional<std::string> value;
  };

  void Set(const std::string& name, const std::filesystem::path& value);

  TempDir fDir;
  std::vector<SavedVariable> fSaved;
};

} // namespace folivox::test
