#include "publish/WorkingFolder.h"

#include <layra/FileUtils.h>
#include <platform/Files.h>

PMString GetWorkingFolder() {
  return PMString(platform::ApplicationDataFolder(), PMString::kDontTranslateDuringCall);
}

std::optional<IDFile> MakeFileInFolder(const PMString& folder, const PMString& name) {
  if (folder.IsEmpty() || name.IsEmpty())
    return std::nullopt;
  PMString path(folder);
  if (path.GetChar(path.CharCount() - 1) != '/')
    path.Append("/");
  path.Append(name);
  return FileUtils::PMStringToIDFile(path);
}
