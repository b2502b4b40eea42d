#include "AtomicFile.h"

#include "../CHandles.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace layra {
namespace {

bool Fail(std::string* error, const std::string& what) {
  if (error)
    *error = what + ": " + std::strerror(errno);
  return false;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR)
      continue;
    if (written <= 0)
      return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// A temporary is hidden and carries a mark no person or other program puts in a name, so the
// clean-up never takes a user's "doc.lyd.backup" or "notes.orig01" for one of ours.
constexpr std::string_view kTemporaryMark = ".layra-tmp-";
constexpr std::string_view kTemporaryLetters = "XXXXXX";

std::filesystem::path TemporaryPatternFor(const std::filesystem::path& path) {
  return path.parent_path() / ("." + path.filename().string() + std::string(kTemporaryMark) +
                               std::string(kTemporaryLetters));
}

// ".TARGET.layra-tmp-" and the six letters or digits mkstemp chose; any TARGET when `target`
// is empty.
bool IsTemporaryName(std::string_view name, std::string_view target) {
  const std::size_t tail = kTemporaryMark.size() + kTemporaryLetters.size();
  if (name.size() < 2 + tail || name.front() != '.')
    return false;
  const std::string_view stem = name.substr(1, name.size() - 1 - tail);
  const std::string_view letters = name.substr(name.size() - kTemporaryLetters.size());
  if (name.substr(1 + stem.size(), kTemporaryMark.size()) != kTemporaryMark ||
      (!target.empty() && stem != target))
    return false;
  return std::all_of(letters.begin(), letters.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

// Ours beyond its name: a plain file of this user that no writer holds. The writer holds the
// lock from creation to rename; the kernel drops it when the writer dies.
bool IsAbandoned(const std::filesystem::path& file) {
  Descriptor fd(::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  struct stat status {};
  if (fd.Get() < 0 || ::fstat(fd.Get(), &status) != 0 || !S_ISREG(status.st_mode) ||
      status.st_uid != ::geteuid())
    return false;
  return ::flock(fd.Get(), LOCK_EX | LOCK_NB) == 0;
}

void SyncFolder(const std::filesystem::path& folder) {
  Descriptor fd(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY));
  if (fd.Get() >= 0)
    ::fsync(fd.Get());
}

mode_t ModeFor(const std::filesystem::path& path, FileAccess access) {
  const mode_t wanted = access == FileAccess::Private ? 0600 : 0644;
  struct stat existing {};
  if (::stat(path.c_str(), &existing) != 0)
    return wanted;
  return wanted & existing.st_mode;
}

} // namespace

bool CreatePrivateFolders(const std::filesystem::path& folder, std::string* error) {
  std::error_code failure;
  if (folder.empty() || std::filesystem::is_directory(folder, failure))
    return true;
  if (!CreatePrivateFolders(folder.parent_path(), error))
    return false;
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
    return Fail(error, "cannot create the folder " + folder.string());
  return true;
}

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* error, FileAccess access) {
  std::string temporary = TemporaryPatternFor(path).string();
  Descriptor fd(::mkstemp(temporary.data()));
  if (fd.Get() < 0)
    return Fail(error, "cannot create a temporary file beside " + path.string());
  ::flock(fd.Get(), LOCK_EX);
  const bool written = WriteAll(fd.Get(), bytes) && ::fsync(fd.Get()) == 0;
  const bool closed = fd.Close();
  if (!written || !closed) {
    Fail(error, "cannot write " + temporary);
    ::unlink(temporary.c_str());
    return false;
  }
  ::chmod(temporary.c_str(), ModeFor(path, access));
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    Fail(error, "cannot replace " + path.string());
    ::unlink(temporary.c_str());
    return false;
  }
  SyncFolder(path.parent_path());
  return true;
}

bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes, std::string* error) {
  Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0)
    return Fail(error, "cannot open " + path.string());
  struct stat status {};
  if (::fstat(fd.Get(), &status) != 0)
    return Fail(error, "cannot read " + path.string());
  if (!S_ISREG(status.st_mode)) {
    if (error)
      *error = path.string() + " is " + (S_ISDIR(status.st_mode) ? "a folder" : "not a file");
    return false;
  }
  bytes.clear();
  bytes.reserve(static_cast<std::size_t>(status.st_size));
  char chunk[65536];
  for (;;) {
    const ssize_t count = ::read(fd.Get(), chunk, sizeof chunk);
    if (count < 0 && errno == EINTR)
      continue;
    if (count < 0)
      return Fail(error, "cannot read " + path.string());
    if (count == 0)
      return true;
    bytes.append(chunk, static_cast<std::size_t>(count));
  }
}

void RemoveStaleTemporaries(const std::filesystem::path& folder, const std::string& target) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (IsTemporaryName(name, target) && IsAbandoned(entry.path()))
      std::filesystem::remove(entry.path(), error);
  }
}

std::filesystem::path SetAside(const std::filesystem::path& path) {
  // Two damaged files in one second get a counter after the time instead of one
  // replacing the other.
  const std::string stem =
      path.string() + ".damaged-" + std::to_string(static_cast<long long>(std::time(nullptr)));
  for (int attempt = 1; attempt < 1000; ++attempt) {
    const std::string aside = attempt == 1 ? stem : stem + "-" + std::to_string(attempt);
    if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0)
      return aside;
    if (errno != EEXIST)
      break;
  }
  return {};
}

} // namespace layra
