#include "publish/Records.h"

#include "base/Trace.h"
#include "publish/PendingBatches.h"
#include "publish/RecordsLock.h"
#include "publish/SendHistory.h"
#include "publish/WorkingFolder.h"

#include <platform/Files.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace {

// The name a cut-back gives its copy before it replaces the record: the record's name, a dot
// and six letters or digits. No one else writes such a name into the folder.
bool IsCutBackCopy(const std::string& name) {
  for (const char* record : {kSendHistoryFileName, kPendingFileName}) {
    const std::string prefix = std::string(record) + ".";
    if (name.size() == prefix.size() + 6 && name.starts_with(prefix) &&
        std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                    [](unsigned char c) { return std::isalnum(c) != 0; }))
      return true;
  }
  return false;
}

void RemoveCutBackCopies(const std::string& folder) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    const std::optional<platform::FileIdentity> file = platform::IdentityOf(entry.path());
    if (IsCutBackCopy(name) && file)
      platform::DeleteIfSame(entry.path(), *file, true);
  }
}

} // namespace

void TidyRecords() {
  const std::string folder = GetWorkingFolder().GetUTF8String();
  const std::optional<RecordsLock> lock = folder.empty() ? std::nullopt : RecordsLock::TryTake();
  if (!lock)
    return;
  RemoveCutBackCopies(folder);
  if (const std::size_t damaged = CutBackSendHistory(); damaged > 0)
    folivox::Trace("%zu damaged lines of the send history were skipped\n", damaged);
  TidyBatches();
  const std::size_t damaged = DamagedBatchLines();
  if (damaged > 0)
    folivox::Trace("%zu damaged lines of the list of unsent files were skipped\n", damaged);
  if (damaged > 0 || !ReadBatches().empty())
    CutBackBatches();
}
