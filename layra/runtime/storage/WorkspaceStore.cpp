#include "WorkspaceStore.h"

#include "AtomicFile.h"
#include "DataBaseFile.h"

#include <layra/HostIDs.h>

#include <cstdio>

namespace layra {
namespace {

constexpr const char* kWorkspaceFileName = "workspace.lydb";

// Whether the file reads as a whole database.
Result<void> ReadInto(const std::filesystem::path& file, DataBase& defaults) {
  std::vector<StoredObject> objects;
  std::string bytes, reason;
  UID root = kInvalidUID;
  if (!ReadWholeFile(file, bytes, &reason) || !DecodeDataBase(bytes, root, objects, reason))
    return Failure{reason};
  return defaults.Import(objects);
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
    if (const Result<void> read = ReadInto(file, *defaults); !read) {
      fSetAside = SetAside(file);
      std::fprintf(stderr,
                   "layra: the workspace file %s is unreadable (%s); it was kept as %s and the "
                   "host starts with empty defaults\n",
                   file.c_str(), read.error().c_str(), fSetAside.c_str());
      defaults = std::make_unique<DataBase>();
    }
  }
  // The host registers the workspace class before it loads anything, so this is never refused.
  if (defaults->GetClass(kWorkspaceUID) == kInvalidClass)
    static_cast<void>(defaults->CreateWithUID(kWorkspaceUID, kWorkspaceBoss));
  defaults->SetRootUID(kWorkspaceUID);
  defaults->SetSysFile(IDFile(file));
  defaults->MarkSaved();
  return defaults;
}

Result<void> WorkspaceStore::Save(DataBase& defaults) const {
  std::string reason;
  if (CreatePrivateFolders(fHome, &reason) &&
      WriteFileAtomically(File(), EncodeDataBase(defaults), &reason, FileAccess::Private)) {
    defaults.MarkSaved();
    return {};
  }
  std::fprintf(stderr, "layra: the workspace was not saved: %s\n", reason.c_str());
  return Failure{reason};
}

} // namespace layra
