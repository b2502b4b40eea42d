#include "WorkspaceStore.h"

#include "AtomicFile.h"
#include "DataBaseFile.h"

#include <layra/HostIDs.h>

#include <cstdio>

namespace layra {
namespace {

constexpr const char* kWorkspaceFileName = "workspace.lydb";

// Empty when the file reads as a whole database; otherwise why it does not.
std::string ReadInto(const std::filesystem::path& file, DataBase& defaults) {
  std::vector<StoredObject> objects;
  std::string bytes, reason;
  UID root = kInvalidUID;
  if (!ReadWholeFile(file, bytes, &reason) || !DecodeDataBase(bytes, root, objects, reason))
    return reason;
  std::vector<std::string> problems;
  if (!defaults.Import(objects, problems))
    return problems.front();
  return {};
}

} // namespace

std::filesystem::path WorkspaceStore::File() const {
  return fHome / kWorkspaceFileName;
}

std::unique_ptr<DataBase> WorkspaceStore::Load() {
  const std::filesystem::path file = File();
  auto defaults = std::make_unique<DataBase>();
  std::error_code missing;
  if (std::filesystem::exists(file, missing)) {
    if (const std::string reason = ReadInto(file, *defaults); !reason.empty()) {
      fSetAside = SetAside(file);
      std::fprintf(stderr,
                   "layra: the workspace file %s is unreadable (%s); it was kept as %s and the "
                   "host starts with empty defaults\n",
                   file.c_str(), reason.c_str(), fSetAside.c_str());
      defaults = std::make_unique<DataBase>();
    }
  }
  if (defaults->GetClass(kWorkspaceUID) == kInvalidClass)
    defaults->CreateWithUID(kWorkspaceUID, kWorkspaceBoss);
  defaults->SetRootUID(kWorkspaceUID);
  defaults->SetSysFile(IDFile(file));
  defaults->MarkSaved();
  return defaults;
}

bool WorkspaceStore::Save(DataBase& defaults, std::string* error) const {
  std::string reason;
  if (CreatePrivateFolders(fHome, &reason) &&
      WriteFileAtomically(File(), EncodeDataBase(defaults), &reason, FileAccess::Private)) {
    defaults.MarkSaved();
    return true;
  }
  std::fprintf(stderr, "layra: the workspace was not saved: %s\n", reason.c_str());
  if (error)
    *error = reason;
  return false;
}

} // namespace layra
