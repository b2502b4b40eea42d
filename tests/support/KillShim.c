// Preloaded into a program under test: kills it (SIGKILL, as a crash or a power cut would end
// it for the files) just before its Nth change to a file under one folder, so that a test can
// stop it at every step it takes on the disk in turn.
//
//   FOLIVOX_KILL_UNDER  the folder whose files count (a path prefix)
//   FOLIVOX_KILL_AT     N: the change before which the program dies
//   FOLIVOX_KILL_ONLY   optional: count only "write", "fsync", "rename" or "unlink"
//
// Changes are the calls the program makes itself: write, fsync, fdatasync, rename, renameat,
// unlink, unlinkat. Writes through the C library's streams do not pass here; the syncs and the
// closing of the records around them do.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static const char* gUnder;
static const char* gOnly;
static long gAt;
static long gCount;

__attribute__((constructor)) static void ReadSettings(void) {
  gUnder = getenv("FOLIVOX_KILL_UNDER");
  gOnly = getenv("FOLIVOX_KILL_ONLY");
  const char* at = getenv("FOLIVOX_KILL_AT");
  gAt = at ? strtol(at, NULL, 10) : 0;
}

static int Under(const char* path) {
  return gUnder && path && strncmp(path, gUnder, strlen(gUnder)) == 0;
}

static int DescriptorUnder(int fd) {
  char link[64];
  char path[4096];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t n = readlink(link, path, sizeof path - 1);
  if (n < 0)
    return 0;
  path[n] = '\0';
  return Under(path);
}

static void Change(const char* kind, int counts) {
  if (!counts || gAt <= 0 || (gOnly && strcmp(gOnly, kind) != 0))
    return;
  if (++gCount == gAt)
    kill(getpid(), SIGKILL);
}

#define REAL(name) ((__typeof__(&name))dlsym(RTLD_NEXT, #name))

ssize_t write(int fd, const void* bytes, size_t count) {
  Change("write", DescriptorUnder(fd));
  return REAL(write)(fd, bytes, count);
}

int fsync(int fd) {
  Change("fsync", DescriptorUnder(fd));
  return REAL(fsync)(fd);
}

int fdatasync(int fd) {
  Change("fsync", DescriptorUnder(fd));
  return REAL(fdatasync)(fd);
}

int rename(const char* from, const char* to) {
  Change("rename", Under(from) || Under(to));
  return REAL(rename)(from, to);
}

int renameat(int fromFolder, const char* from, int toFolder, const char* to) {
  Change("rename", Under(from) || Under(to));
  return REAL(renameat)(fromFolder, from, toFolder, to);
}

int unlink(const char* path) {
  Change("unlink", Under(path));
  return REAL(unlink)(path);
}

int unlinkat(int folder, const char* path, int flags) {
  Change("unlink", Under(path));
  return REAL(unlinkat)(folder, path, flags);
}
