// Re-sending what sends left: each pending batch, oldest first, uploaded as its send would
// have uploaded it, over one connection.

#include "publish/Base64.h"
#include "publish/ConfigTree.h"
#include "publish/FolivoActionComponent.h"
#include "publish/FtpUpload.h"
#include "publish/PendingBatches.h"
#include "publish/PublishNames.h"
#include "publish/WorkingFolder.h"

#include <layra/TaskProgress.h>

namespace {

std::vector<UploadItem> ItemsOf(const std::vector<PendingFile>& files) {
  const std::string folder = GetWorkingFolder().GetUTF8String();
  std::vector<UploadItem> items;
  for (const PendingFile& file : files)
    items.push_back({IDFile(folder + "/" + file.name), file.name, file.path, file.page});
  return items;
}

} // namespace

std::string FolivoActionComponent::ConfiguredFtpUrl() const {
  const ConfigNode* grabUrl =
      fConfiguration ? FindChild(*fConfiguration, WideString("GRABURL")) : nullptr;
  return grabUrl ? Base64Decode(grabUrl->text.ToUTF8()).value_or("") : std::string();
}

bool FolivoActionComponent::ResendBatch(const PendingBatch& batch, const std::string& ftpUrl) {
  SendSession session(SendOrigin::kResend);
  const std::vector<PendingFile> files = UnsentFiles(batch);
  session.BeginResend(batch, files);
  // The password is not kept with the batch: it comes from the configuration, which must
  // still name the same user on the same server and folder.
  if (ServerShown(ftpUrl) != batch.server || LoginOf(ftpUrl).empty() || !IsFtpUrl(ftpUrl)) {
    session.Failed("the configuration no longer sends to " + batch.server +
                   "; send the pages again");
    return false;
  }
  const std::vector<UploadItem> items = ItemsOf(files);
  if (UploadItems(*this, ftpUrl, LoginOf(ftpUrl), items, &session) != items.size())
    return false;
  session.Sent();
  return true;
}

bool FolivoActionComponent::ResendUnsent() {
  const std::vector<PendingBatch> batches = OpenBatches();
  if (batches.empty()) {
    TaskResult::Show(PMString("Nothing to re-send: every send sent its files",
                              PMString::kDontTranslateDuringCall),
                     TaskResult::kNothingDone);
    return true;
  }
  AcquireConfiguration();
  const std::string ftpUrl = ConfiguredFtpUrl();
  // One handle for every batch: one login however many there are.
  UploadHandleScope transfer;
  for (const PendingBatch& batch : batches) {
    if (!ResendBatch(batch, ftpUrl))
      return false;
  }
  return true;
}
