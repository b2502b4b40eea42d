#include <platform/CHandles.h>
#include <platform/Files.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr mode_t kPrivateFolderMode = 0700;
constexpr mode_t kPrivateFileMode = 0600;

bool WriteAll(int fd, const std::string& text) {
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return false;
    written += static_cast<std::size_t>(n);
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos)
    return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool SyncFolder(const std::string& folder) {
  Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return fd.Get() >= 0 && ::fsync(fd.Get()) == 0;
}

bool HasEmbeddedNul(const std::string& text) {
  return text.find('\0') != std::string::npos;
}

// ".NAME.replacing-" beside NAME, then six letters or digits: a name no one else gives a file.
constexpr char kReplacementMark[] = ".replacing-";
constexpr std::size_t kReplacementSuffix = 6;

std::string ReplacementPattern(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
  return path.substr(0, name) + "." + path.substr(name) + kReplacementMark;
}

FileIdentity IdentityFrom(const struct stat& info) {
  return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
          static_cast<std::uint64_t>(info.st_size),
          static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

// Opens `path` without following a link and, for a FIFO, without waiting for its other end;
// anything but a regular file is refused (-1). The descriptor blocks again once it is known
// to be a plain file.
int OpenRegular(const std::string& path, int flags, struct stat& info) {
  if (HasEmbeddedNul(path))
    return -1;
  Descriptor fd(::open(path.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
  if (fd.Get() < 0 || ::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode) ||
      ::fcntl(fd.Get(), F_SETFL, flags & O_APPEND) != 0)
    return -1;
  return fd.Release();
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

namespace {

bool AppendPrivately(const std::string& path, const std::string& text, bool durable) {
  if (HasEmbeddedNul(path))
    return false;
  struct stat before {};
  const bool existed = ::lstat(path.c_str(), &before) == 0;
  struct stat info {};
  Descriptor fd(OpenRegular(path, O_WRONLY | O_APPEND | O_CREAT, info));
  if (fd.Get() < 0)
    return false;
  // A file another program made with wider rights is narrowed before anything private goes in.
  if (::fchmod(fd.Get(), kPrivateFileMode) != 0 || !WriteAll(fd.Get(), text) ||
      (durable && ::fsync(fd.Get()) != 0) || !fd.Close())
    return false;
  return existed || SyncFolder(FolderOf(path));
}

} // namespace

bool AppendDurably(const std::string& path, const std::string& text) {
  return AppendPrivately(path, text, true);
}

bool Append(const std::string& path, const std::string& text) {
  return AppendPrivately(path, text, false);
}

bool SyncFile(const std::string& path) {
  struct stat info {};
  Descriptor fd(OpenRegular(path, O_RDONLY, info));
  return fd.Get() >= 0 && ::fsync(fd.Get()) == 0;
}

bool ReplaceDurably(const std::string& path, const std::string& text) {
  if (HasEmbeddedNul(path))
    return false;
  std::string temporary = ReplacementPattern(path) + "XXXXXX";
  Descriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
  if (fd.Get() < 0)
    return false;
  const bool written = ::fchmod(fd.Get(), kPrivateFileMode) == 0 && WriteAll(fd.Get(), text) &&
                       ::fsync(fd.Get()) == 0 && fd.Close();
  if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  return SyncFolder(FolderOf(path));
}

void RemoveStaleReplacements(const std::string& path, std::int64_t olderThanSeconds) {
  const std::string pattern = ReplacementPattern(path);
  const std::string folder = FolderOf(path);
  const std::string prefix = pattern.substr(folder.size() + 1);
  std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(folder.c_str()), &::closedir);
  const std::int64_t now = static_cast<std::int64_t>(::time(nullptr));
  while (dirent* entry = listing ? ::readdir(listing.get()) : nullptr) {
    const std::string name = entry->d_name;
    const std::string candidate = folder + "/" + name;
    struct stat info {};
    if (name.size() != prefix.size() + kReplacementSuffix || !name.starts_with(prefix) ||
        ::lstat(candidate.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_uid != ::geteuid() || now - info.st_mtim.tv_sec < olderThanSeconds)
      continue;
    ::unlink(candidate.c_str());
  }
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
  struct stat info {};
  if (HasEmbeddedNul(path) || ::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
    return std::nullopt;
  return IdentityFrom(info);
}

std::optional<FileIdentity> CreateExclusively(const std::string& path) {
  if (HasEmbeddedNul(path))
    return std::nullopt;
  Descriptor fd(
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kPrivateFileMode));
  struct stat info {};
  if (fd.Get() < 0 || ::fchmod(fd.Get(), kPrivateFileMode) != 0 || ::fstat(fd.Get(), &info) != 0)
    return std::nullopt;
  return IdentityFrom(info);
}

FileHandle OpenIfSame(const std::string& path, const FileIdentity& expected) {
  struct stat info {};
  Descriptor fd(OpenRegular(path, O_RDONLY, info));
  if (fd.Get() < 0 || IdentityFrom(info) != expected)
    return nullptr;
  FileHandle file(::fdopen(fd.Get(), "rb"));
  if (file)
    fd.Release();
  return file;
}

bool DeleteIfSame(const std::string& path, const FileIdentity& expected, bool sameBytes) {
  const std::optional<FileIdentity> now = IdentityOf(path);
  if (!now || !now->SameFile(expected) || (sameBytes && *now != expected))
    return false;
  return ::unlink(path.c_str()) == 0;
}

std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t limit) {
  struct stat info {};
  Descriptor fd(OpenRegular(path, O_RDONLY, info));
  if (fd.Get() < 0 || static_cast<std::uint64_t>(info.st_size) > limit)
    return std::nullopt;
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0 || bytes.size() + static_cast<std::size_t>(n) > limit)
      return std::nullopt;
    if (n == 0)
      return bytes;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
}

bool IsNoRegularFile(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
}

FileLock::FileLock(const std::string& path) {
  struct stat info {};
  fFD = std::make_unique<Descriptor>(OpenRegular(path, O_RDWR | O_CREAT, info));
}

bool FileLock::TryTake() {
  if (!Usable())
    return false;
  while (::flock(fFD->Get(), LOCK_EX | LOCK_NB) != 0) {
    if (errno != EINTR)
      return false;
  }
  return true;
}

} // namespace platform
