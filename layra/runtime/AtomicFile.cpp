#include "AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace layra {
namespace {

class Descriptor {
public:
  explicit Descriptor(int fd) : fFD(fd) {}
  ~Descriptor() {
    if (fFD >= 0)
      ::close(fFD);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return fFD; }
  int Release() { return std::exchange(fFD, -1); }

private:
  int fFD;
};

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
  std::string temporary = path.string() + ".XXXXXX";
  Descriptor fd(::mkstemp(temporary.data()));
  if (fd.Get() < 0)
    return Fail(error, "cannot create a temporary file beside " + path.string());
  const bool written = WriteAll(fd.Get(), bytes) && ::fsync(fd.Get()) == 0;
  const bool closed = ::close(fd.Release()) == 0;
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
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return Fail(error, "cannot open " + path.string());
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad())
    return Fail(error, "cannot read " + path.string());
  return true;
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
