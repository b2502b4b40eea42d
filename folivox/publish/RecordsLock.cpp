#include "publish/RecordsLock.h"

#include "publish/WorkingFolder.h"

#include <chrono>
#include <thread>

namespace {

constexpr auto kRetry = std::chrono::milliseconds(100);
std::size_t gLocksHeld = 0;

std::optional<platform::FileLock> OpenLock() {
  const PMString folder = GetWorkingFolder();
  if (folder.IsEmpty())
    return std::nullopt;
  platform::FileLock lock(folder.GetUTF8String() + "/" + kRecordsLockFileName);
  if (!lock.Usable())
    return std::nullopt;
  return lock;
}

} // namespace

std::optional<RecordsLock> RecordsLock::Take(const Waiting& waiting, std::string& why) {
  std::optional<platform::FileLock> lock = OpenLock();
  if (!lock) {
    why = "the lock file " + std::string(kRecordsLockFileName) +
          " of the working folder cannot be opened";
    return std::nullopt;
  }
  while (!lock->TryTake()) {
    if (!waiting("Waiting for another send or re-send of this user to finish")) {
      why = "cancelled while waiting for another send or re-send of this user to finish";
      return std::nullopt;
    }
    std::this_thread::sleep_for(kRetry);
  }
  return RecordsLock(std::move(*lock));
}

std::optional<RecordsLock> RecordsLock::TryTake() {
  std::optional<platform::FileLock> lock = OpenLock();
  if (!lock || !lock->TryTake())
    return std::nullopt;
  return RecordsLock(std::move(*lock));
}

bool RecordsLock::HeldHere() {
  return gLocksHeld > 0;
}

RecordsLock::RecordsLock(platform::FileLock lock) : fLock(std::move(lock)) {
  ++gLocksHeld;
}

RecordsLock::RecordsLock(RecordsLock&& other) noexcept : fLock(std::move(other.fLock)) {}

RecordsLock::~RecordsLock() {
  if (fLock.Usable())
    --gLocksHeld;
}
