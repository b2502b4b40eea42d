#pragma once
// Owners for the handles of the C library, so that every way out of a function gives them back.
// The plug-in builds its own (libcurl's) on these.

#include <unistd.h>

#include <cstdio>
#include <memory>
#include <utility>

namespace platform {

/** Gives a handle back with the C function that frees it. */
template <auto Free> struct CFree {
  template <typename T> void operator()(T* handle) const { Free(handle); }
};
template <typename T, auto Free> using CHandle = std::unique_ptr<T, CFree<Free>>;

inline void CloseFile(std::FILE* file) {
  std::fclose(file);
}
using FileHandle = CHandle<std::FILE, CloseFile>;

/** Closes a file descriptor on every way out; a negative one is no descriptor. */
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
  // Closes now, for callers to whom a failed close means lost data.
  bool Close() { return ::close(Release()) == 0; }

private:
  int fFD;
};

} // namespace platform
