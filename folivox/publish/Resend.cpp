// Re-sending what sends left: each pending batch, oldest first, uploaded as its send would
// have uploaded it, over one connection. A batch that cannot go is said and passed over, so
// that it never holds up the others; the person may discard it.

#include "base/Alerts.h"
#include "panel/FolivoTreeInformator.h"
#include "publish/AlertText.h"
#include "publish/Base64.h"
#include "publish/ConfigTree.h"
#include "publish/FolivoActionComponent.h"
#include "publish/FtpUpload.h"
#include "publish/PanelRequests.h"
#include "publish/PendingBatches.h"
#include "publish/PublishNames.h"
#include "publish/Records.h"
#include "publish/RecordsLock.h"

#include <layra/TaskProgress.h>

#include <memory>
#include <numeric>

namespace {

PMString Plain(const std::string& text) {
  return PMString(text, PMString::kDontTranslateDuringCall);
}

constexpr const char kAgainOrDiscard[] = "; send the pages again, or discard the batch";

// Why `batch` cannot go as it is recorded; empty when it can.
std::string WhyBatchCannotGo(const PendingBatch& batch, const std::vector<PendingFile>& files,
                             const std::string& ftpUrl) {
  if (batch.legacy)
    return "it was recorded by an earlier version, which kept no proof that its files are "
           "unchanged" +
           std::string(kAgainOrDiscard);
  if (ftpUrl.empty())
    return "no configuration file was loaded";
  // The password is not kept with the batch: it comes from the configuration, which must
  // still name the same user on the same server and folder.
  if (ServerShown(ftpUrl) != batch.server || LoginOf(ftpUrl).empty() || !IsFtpUrl(ftpUrl))
    return "the configuration no longer sends to " + batch.server + kAgainOrDiscard;
  for (const PendingFile& file : files)
    if (const std::string why = WhyNotSendable(file); !why.empty())
      return "the file " + file.name + " " + why + kAgainOrDiscard;
  return {};
}

// Takes the records' lock, showing the wait as a task of its own only when there is one; when
// it cannot, the result line says `nothingDone` and why.
std::optional<RecordsLock> TakeLockFor(const std::string& title, const std::string& nothingDone) {
  std::unique_ptr<TaskProgress> waiting;
  std::string why;
  std::optional<RecordsLock> lock = RecordsLock::Take(
      [&](const std::string& text) {
        if (!waiting)
          waiting = std::make_unique<TaskProgress>(Plain(title), 0);
        waiting->Advance(Plain(text), 0);
        return !waiting->WasCancelled();
      },
      why);
  if (!lock)
    TaskResult::Show(Plain(nothingDone + ": " + why), waiting && waiting->WasCancelled()
                                                          ? TaskResult::kCancelled
                                                          : TaskResult::kFailed);
  return lock;
}

} // namespace

std::string FolivoActionComponent::ConfiguredFtpUrl() const {
  const ConfigNode* grabUrl =
      fConfiguration ? FindChild(*fConfiguration, WideString("GRABURL")) : nullptr;
  return grabUrl ? Base64Decode(grabUrl->text.ToUTF8()).value_or("") : std::string();
}

FolivoActionComponent::ResendResult FolivoActionComponent::ResendBatch(const PendingBatch& batch,
                                                                       const std::string& ftpUrl) {
  SendSession session(SendOrigin::kResend);
  const std::vector<PendingFile> files = UnsentFiles(batch);
  session.BeginResend(batch, files);
  if (const std::string why = WhyBatchCannotGo(batch, files, ftpUrl); !why.empty()) {
    session.Failed(why);
    return ResendResult::kPassedOver;
  }
  std::vector<UploadItem> items = session.UploadPlan();
  // Uploads go one after another: only the first unsent file can have reached the server
  // before a kill kept its record from saying so.
  if (!items.empty())
    items.front().mayBeOnServer = true;
  if (UploadItems(*this, ftpUrl, LoginOf(ftpUrl), items, &session) != items.size())
    return ResendResult::kStopped;
  if (!session.SkippedFiles().empty()) {
    session.Failed("could not open " + session.SkippedFiles() + "; it stays pending");
    return ResendResult::kPassedOver;
  }
  session.Sent();
  return ResendResult::kSent;
}

bool FolivoActionComponent::ResendUnsent() {
  const std::optional<RecordsLock> lock = TakeLockFor("Re-sending unsent files", "Nothing re-sent");
  if (!lock)
    return false;
  TidyBatches();
  const std::vector<PendingBatch> batches = OpenBatches();
  if (batches.empty()) {
    TaskResult::Show(Plain("Nothing to re-send: every send sent its files"),
                     TaskResult::kNothingDone);
    return true;
  }
  const std::string ftpUrl = AcquireConfiguration() ? ConfiguredFtpUrl() : std::string();
  // One handle for every batch: one login however many there are.
  UploadHandleScope transfer;
  bool allWent = true;
  for (const PendingBatch& batch : batches) {
    const ResendResult result = ResendBatch(batch, ftpUrl);
    if (result == ResendResult::kStopped)
      return false;
    allWent = allWent && result == ResendResult::kSent;
  }
  return allWent;
}

bool DiscardPendingBatches(const std::string& id) {
  const std::optional<RecordsLock> lock =
      TakeLockFor("Discarding unsent files", "Nothing discarded");
  if (!lock)
    return false;
  std::vector<PendingBatch> batches = OpenBatches();
  std::erase_if(batches, [&](const PendingBatch& batch) { return !id.empty() && batch.id != id; });
  if (batches.empty()) {
    TaskResult::Show(Plain("Nothing to discard: no send left unsent files"),
                     TaskResult::kNothingDone);
    return false;
  }
  std::size_t files = 0;
  std::string documents;
  for (const PendingBatch& batch : batches) {
    files += UnsentFiles(batch).size();
    if (documents.find(batch.document) == std::string::npos)
      documents += (documents.empty() ? "" : ", ") + batch.document;
  }
  if (!folivox::AskYesNo(FormatAlertText(PMString("0x122500kDiscardPendingQuestion"),
                                         {Plain(std::to_string(files)), Plain(documents)}),
                         kWarningIcon)) {
    TaskResult::Show(Plain("Nothing discarded"), TaskResult::kCancelled);
    return false;
  }
  std::size_t discarded = 0;
  for (const PendingBatch& batch : batches)
    discarded += DiscardBatch(batch.id) ? UnsentFiles(batch).size() : 0;
  TaskResult::Show(
      Plain("Discarded " + std::to_string(discarded) + " unsent files of " + documents),
      discarded == files ? TaskResult::kDone : TaskResult::kFailed);
  RefreshPageMarks();
  if (gShowRecordedSend)
    gShowRecordedSend();
  return discarded == files;
}
