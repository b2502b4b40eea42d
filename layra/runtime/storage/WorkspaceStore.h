#pragma once
// The application defaults and their file in the user's folder: read at start,
// written at shut-down, set aside when damaged.

#include <layra/host/DataBase.h>
#include <layra/host/Result.h>

#include <filesystem>
#include <memory>
#include <string>

namespace layra {

inline constexpr UID kWorkspaceUID = 1;

class WorkspaceStore {
public:
  explicit WorkspaceStore(std::filesystem::path home) : fHome(std::move(home)) {}

  std::filesystem::path File() const;
  /** The defaults as the file holds them, with the workspace boss as root. A damaged file
   *  is set aside and reported, and the defaults start empty. */
  std::unique_ptr<DataBase> Load();
  /** Writes the defaults for the user alone (the workspace may hold passwords); a failure
   *  is reported on standard error too. */
  Result<void> Save(DataBase& defaults) const;
  /** The name the damaged file was kept under, if one was set aside. */
  const std::filesystem::path& SetAsideFile() const { return fSetAside; }

private:
  std::filesystem::path fHome;
  std::filesystem::path fSetAside;
};

} // namespace layra
