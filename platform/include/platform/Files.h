#pragma once

#include <platform/CHandles.h>

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

/** What tells one file from another that took its name: a file is trusted to be the one a
 *  record describes only while all four still match. */
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t size = 0;
  /** Nanoseconds since 1970 of the last change of its bytes. */
  std::int64_t modified = 0;
  bool SameFile(const FileIdentity& other) const {
    return device == other.device && inode == other.inode;
  }
  bool operator==(const FileIdentity&) const = default;
};

// The per-user folder where the plug-in keeps its own files. It is created (private to the
// user) when missing, so callers can write into it straight away. Returns "" when the
// environment names no usable location or it cannot be created; never ends in a slash.
std::string ApplicationDataFolder();

// Removes one file. False when it did not exist, could not be removed, or the path is not a
// valid file name.
bool DeleteFile(const std::string& path);

// Adds `text` at the end of a private file (0600, made when missing) and waits until it is on
// the disk: a crash at any moment leaves what was there before intact. False on failure.
bool AppendDurably(const std::string& path, const std::string& text);

// The same, without waiting for the disk: what it adds survives the program being killed at
// any moment, but not the machine losing power before a later SyncFile.
bool Append(const std::string& path, const std::string& text);
// Waits until what was written to the regular file `path` is on the disk.
bool SyncFile(const std::string& path);

// Replaces a private file (0600) with `text` as one step: a temporary file beside it
// (".NAME.replacing-XXXXXX"), written and synced, renamed over it, the folder synced. A crash
// leaves the old or the new file, and perhaps the temporary.
bool ReplaceDurably(const std::string& path, const std::string& text);

// Removes the temporaries that replacements of `path` killed before their rename left, when they
// are this user's plain files last written at least `olderThanSeconds` ago (0: all of them, for
// a caller that knows no replacement of `path` runs now).
void RemoveStaleReplacements(const std::string& path, std::int64_t olderThanSeconds);

// The identity of the regular file `path` names, the name itself not followed when it is a
// link; nullopt for a link, a folder, a FIFO or no file at all.
std::optional<FileIdentity> IdentityOf(const std::string& path);

// Makes a new, empty private file (0600) at `path`: never over a file that exists, never
// through a link. Its identity; nullopt when the name is taken or the file cannot be made.
std::optional<FileIdentity> CreateExclusively(const std::string& path);

// Opens for reading the file at `path` only while it is still the file `expected` describes
// (same file, same size and time), without following a link or waiting on a FIFO; null
// otherwise.
FileHandle OpenIfSame(const std::string& path, const FileIdentity& expected);

// Removes the file at `path` only while it is still the file `expected` was taken of: the same
// file, and with `sameBytes` also the same size and time. False when it is not, or was not
// removed.
bool DeleteIfSame(const std::string& path, const FileIdentity& expected, bool sameBytes);

// The bytes of the regular file at `path`, read without following a link or waiting on a
// FIFO; nullopt when it is anything else, cannot be read, or holds more than `limit` bytes.
std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t limit);

// Whether `path` names something that is no regular file: a FIFO, a device, a link or a
// folder. Callers say so once instead of using it.
bool IsNoRegularFile(const std::string& path);

// An exclusive lock on a private lock file, shared by every process of the user: one of them
// at a time holds it. Taken with TryTake, given back when the lock is destroyed.
class FileLock {
public:
  explicit FileLock(const std::string& path);
  FileLock(FileLock&&) = default;
  // False when another process holds it, or the lock file cannot be opened (Usable tells).
  bool TryTake();
  bool Usable() const { return fFD && fFD->Get() >= 0; }

private:
  std::unique_ptr<Descriptor> fFD;
};

} // namespace platform
