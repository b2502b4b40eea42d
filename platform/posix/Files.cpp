#include <platform/Files.h>

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr mode_t kPrivateFolderMode = 0700;

bool HasEmbeddedNul(const std::string& text) {
  return text.find('\0') != std::string::npos;
}

// Unset, empty and relative values all name no usable folder: a relative one would depend
// on whatever working directory the host happens to have.
std::string AbsolutePathVariable(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] != '/') {
    return {};
  }
  return value;
}

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') {
    path.pop_back();
  }
  return path;
}

std::string DataFolderLocation() {
  const std::string dataHome = AbsolutePathVariable("XDG_DATA_HOME");
  if (!dataHome.empty()) {
    return WithoutTrailingSlashes(dataHome);
  }
  std::string home = WithoutTrailingSlashes(AbsolutePathVariable("HOME"));
  if (home.empty()) {
    return {};
  }
  if (home == "/") {
    home.clear();
  }
  return home + "/.local/share";
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Checks first so that existing folders on read-only or foreign file systems are accepted,
// and again after EEXIST because another process may create the folder at the same moment.
bool MakeFolder(const std::string& path) {
  if (IsFolder(path)) {
    return true;
  }
  if (mkdir(path.c_str(), kPrivateFolderMode) == 0) {
    return true;
  }
  return errno == EEXIST && IsFolder(path);
}

// Every missing component is created private, not only the last one, so no part of the
// chain is left readable by others.
bool MakeFolders(const std::string& path) {
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    if (!MakeFolder(path.substr(0, slash))) {
      return false;
    }
  }
  return MakeFolder(path);
}

} // namespace

std::string ApplicationDataFolder() {
  const std::string folder = DataFolderLocation();
  if (folder.empty() || HasEmbeddedNul(folder) || !MakeFolders(folder)) {
    return {};
  }
  return folder;
}

bool DeleteFile(const std::string& path) {
  // A NUL would cut the name short and remove a different file.
  if (HasEmbeddedNul(path)) {
    return false;
  }
  return unlink(path.c_str()) == 0;
}

} // namespace platform
