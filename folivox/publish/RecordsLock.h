#pragma once
// One process at a time writes the working folder's records and the files they describe: every
// send, re-send, discard and cut-back holds this lock while it works. A second process waits
// for it, saying why, and the person may stop the wait.

#include <platform/Files.h>

#include <functional>
#include <optional>
#include <string>

inline constexpr const char kRecordsLockFileName[] = "FolivoPending.lock";

class RecordsLock {
public:
  /** Said while waiting; answers false when the person stopped the wait. */
  using Waiting = std::function<bool(const std::string& why)>;

  /** Waits for the lock for as long as `waiting` allows; nullopt when it was stopped or the lock
   *  file cannot be used (`why` says which). */
  static std::optional<RecordsLock> Take(const Waiting& waiting, std::string& why);
  /** The lock when no other process holds it; nullopt at once otherwise. */
  static std::optional<RecordsLock> TryTake();
  /** Whether this process holds the lock now. */
  static bool HeldHere();

  RecordsLock(RecordsLock&& other) noexcept;
  RecordsLock& operator=(RecordsLock&&) = delete;
  ~RecordsLock();

private:
  explicit RecordsLock(platform::FileLock lock);
  platform::FileLock fLock;
};
