#include "publish/Records.h"

#include "base/Trace.h"
#include "publish/PendingBatches.h"
#include "publish/RecordsLock.h"
#include "publish/SendHistory.h"
#include "publish/WorkingFolder.h"

#include <platform/Files.h>

namespace {

// A download that runs in another process now may be replacing the configuration's copy; one
// killed that long ago is not.
constexpr std::int64_t kStaleDownloadSeconds = 600;

} // namespace

void TidyRecords() {
  const std::string folder = GetWorkingFolder().GetUTF8String();
  const std::optional<RecordsLock> lock = folder.empty() ? std::nullopt : RecordsLock::TryTake();
  if (!lock)
    return;
  // The records' cut-backs run under the lock this holds: none runs now.
  for (const char* record : {kSendHistoryFileName, kPendingFileName})
    platform::RemoveStaleReplacements(folder + "/" + record, 0);
  platform::RemoveStaleReplacements(folder + "/" + kConfigurationDownloadName,
                                    kStaleDownloadSeconds);
  if (const std::size_t damaged = CutBackSendHistory(); damaged > 0)
    folivox::Trace("%zu damaged lines of the send history were skipped\n", damaged);
  TidyBatches();
  const std::size_t damaged = DamagedBatchLines();
  if (damaged > 0)
    folivox::Trace("%zu damaged lines of the list of unsent files were skipped\n", damaged);
  if (damaged > 0 || !ReadBatches().empty())
    CutBackBatches();
}
