#include "publish/SendSession.h"

#include "base/Trace.h"
#include "panel/FolivoTreeInformator.h"
#include "publish/FtpUpload.h"
#include "publish/PanelRequests.h"
#include "publish/WorkingFolder.h"

#include <cstdio>
#include <ctime>
#include <filesystem>

bool gShowAndRecordSends = true;

namespace {

PMString Plain(const std::string& text) {
  return PMString(text, PMString::kDontTranslateDuringCall);
}

std::string Seconds(std::int64_t milliseconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f s", static_cast<double>(milliseconds) / 1e3);
  return text;
}

std::string Of(std::size_t n, std::size_t count) {
  return std::to_string(n) + " of " + std::to_string(count);
}

} // namespace

SendSession::SendSession(SendOrigin origin)
    : fOrigin(origin), fStart(std::chrono::steady_clock::now()) {
  fRecord.when = static_cast<std::int64_t>(std::time(nullptr));
  fRecord.beforeSave = origin == SendOrigin::kBeforeSave;
}

SendSession::~SendSession() {
  KeepBatches();
  if (!gShowAndRecordSends)
    return;
  fProgress.reset();
  fRecord.milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - fStart)
                             .count();
  // Files the send did not reach stay in the working folder, unsent.
  TaskResult::Outcome outcome = TaskResult::kDone;
  if (fRecord.outcome == SendOutcome::kFailed)
    outcome = TaskResult::kFailed;
  else if (fRecord.outcome == SendOutcome::kCancelled)
    outcome = TaskResult::kCancelled;
  else if (fRecord.outcome == SendOutcome::kNothingSent && fOrigin == SendOrigin::kAsked)
    outcome = TaskResult::kNothingDone; // a save of a document that is no section is no fault
  TaskResult::Show(Plain(ResultLine()), outcome);
  if (!AppendSendRecord(fRecord))
    folivox::Trace("Could not write the send history %s.\n", SendHistoryFile().c_str());
  RefreshPageMarks();
  if (gShowRecordedSend)
    gShowRecordedSend();
}

void SendSession::KeepBatches() {
  KeepUnsent();
  SweepLeftovers(static_cast<std::int64_t>(std::time(nullptr)));
}

void SendSession::KeepUnsent() {
  if (fOrigin == SendOrigin::kResend) {
    if (fRecord.outcome == SendOutcome::kSent && !CloseBatch(fRecord.batch, BatchState::kSent))
      folivox::Trace("Could not write the list of unsent files.\n");
    return;
  }
  if (fRecord.outcome == SendOutcome::kSent) {
    SupersedeBatches(fRecord.document, fRecord.firstPage, fRecord.lastPage);
    return;
  }
  if (fUnsent.empty())
    return;
  const PendingBatch batch{
      NewBatchId(fRecord.when), fRecord.when,   fRecord.document, fRecord.firstPage,
      fRecord.lastPage,         fRecord.server, fUnsent,          BatchState::kPending};
  if (AddPendingBatch(batch))
    fRecord.batch = batch.id;
  else
    folivox::Trace("Could not write the list of unsent files.\n");
}

void SendSession::SetPages(std::int32_t first, std::int32_t last) {
  fRecord.firstPage = first;
  fRecord.lastPage = last;
}

void SendSession::BeginWork(std::int32_t pages, std::size_t variants) {
  fPageCount = pages;
  const auto steps = static_cast<std::size_t>(pages) * (2 * variants + 2);
  if (gShowAndRecordSends)
    fProgress = std::make_unique<TaskProgress>(
        Plain("Sending " + PagesText(fRecord) + " of " + fRecord.document),
        static_cast<std::int32_t>(steps));
  fVariants = variants;
}

void SendSession::BeginResend(const PendingBatch& batch, const std::vector<PendingFile>& files) {
  fRecord.kind = SendKind::kResend;
  fRecord.batch = batch.id;
  fRecord.document = batch.document;
  SetPages(batch.firstPage, batch.lastPage);
  fRecord.server = batch.server;
  for (const PendingFile& file : files)
    PlanFile(file.page, GetWorkingFolder().GetUTF8String() + "/" + file.name);
  if (gShowAndRecordSends)
    fProgress = std::make_unique<TaskProgress>(Plain("Re-sending " + std::to_string(files.size()) +
                                                     " unsent files of " + fRecord.document),
                                               static_cast<std::int32_t>(files.size()));
}

void SendSession::LeaveUnsent(const std::vector<UploadItem>& items) {
  for (const UploadItem& item : items)
    fUnsent.push_back(PendingFile{item.page, item.name, item.path});
}

bool SendSession::Cancelled() {
  return fProgress && fProgress->WasCancelled();
}

void SendSession::Advance(const std::string& text, std::int32_t steps) {
  if (fProgress)
    fProgress->Advance(Plain(text), steps);
}

void SendSession::PageRendered(std::int32_t pageNumber) {
  ++fPagesRendered;
  Advance("Rendered the previews of page " + std::to_string(pageNumber) + " (" +
              Of(static_cast<std::size_t>(fPagesRendered), static_cast<std::size_t>(fPageCount)) +
              ")",
          static_cast<std::int32_t>(fVariants));
}

void SendSession::ManifestWritten(std::int32_t pageNumber) {
  Advance("Wrote the manifest of page " + std::to_string(pageNumber), 1);
}

void SendSession::PlanFile(std::int32_t pageNumber, const std::string& path) {
  std::error_code error;
  const std::uintmax_t bytes = std::filesystem::file_size(path, error);
  fRecord.files.push_back(SentFile{pageNumber, std::filesystem::path(path).filename().string(),
                                   error ? 0 : static_cast<std::uint64_t>(bytes),
                                   FileOutcome::kUnsent});
}

void SendSession::FileStarts(std::size_t index) {
  fCurrentFile = index;
  const SentFile& file = fRecord.files.at(index);
  Advance("Uploading file " + Of(index + 1, fRecord.files.size()) + ": " + file.name + " (" +
              SizeText(file.bytes) + ")",
          0);
}

void SendSession::FileProgress(std::uint64_t sent) {
  if (fCurrentFile >= fRecord.files.size())
    return;
  const SentFile& file = fRecord.files[fCurrentFile];
  Advance("Uploading file " + Of(fCurrentFile + 1, fRecord.files.size()) + ": " + file.name +
              " \u2014 " + SizeText(sent) + " of " + SizeText(file.bytes),
          0);
}

void SendSession::FileEnded(std::size_t index, FileOutcome outcome) {
  fRecord.files.at(index).outcome = outcome;
  Advance("Uploaded file " + Of(index + 1, fRecord.files.size()), 1);
}

void SendSession::NothingSent(const std::string& why) {
  fRecord.outcome = SendOutcome::kNothingSent;
  fRecord.error = why;
}

void SendSession::Failed(const std::string& why) {
  fRecord.outcome = SendOutcome::kFailed;
  fRecord.error = why;
}

std::string SendSession::ResultLine() const {
  if (fOrigin == SendOrigin::kResend)
    return ResendLine();
  const bool save = fOrigin == SendOrigin::kBeforeSave;
  // Before the files were written the count is what the send was going to upload.
  const std::size_t files = !fRecord.files.empty()
                                ? fRecord.files.size()
                                : static_cast<std::size_t>(fPageCount) * (fVariants + 1);
  const std::string sentOf = Of(FilesSent(fRecord), files) + " files sent";
  switch (fRecord.outcome) {
  case SendOutcome::kSent:
    return "Sent " + PagesText(fRecord) + (save ? " before saving" : "") + ": " +
           std::to_string(FilesSent(fRecord)) + " files, " + SizeText(BytesSent(fRecord)) + " to " +
           fRecord.server + " in " + Seconds(fRecord.milliseconds);
  case SendOutcome::kCancelled:
    return std::string(save ? "Send before saving cancelled: " : "Send cancelled: ") + sentOf;
  case SendOutcome::kFailed:
    return std::string(save ? "Send before saving failed: " : "Send failed: ") + fRecord.error +
           (files > 0 ? " (" + sentOf + ")" : "");
  case SendOutcome::kNothingSent:
    break;
  }
  return std::string(save ? "Nothing sent before saving: " : "Nothing sent: ") + fRecord.error;
}

std::string SendSession::ResendLine() const {
  const std::string sentOf =
      Of(FilesSent(fRecord), fRecord.files.size()) + " unsent files of " + fRecord.document;
  switch (fRecord.outcome) {
  case SendOutcome::kSent:
    return "Re-sent " + sentOf + ", " + PagesText(fRecord) + ": " + SizeText(BytesSent(fRecord)) +
           " to " + fRecord.server + " in " + Seconds(fRecord.milliseconds);
  case SendOutcome::kCancelled:
    return "Re-send cancelled: " + sentOf + " sent";
  case SendOutcome::kFailed:
    return "Re-send failed: " + fRecord.error + " (" + sentOf + " sent)";
  case SendOutcome::kNothingSent:
    break;
  }
  return "Nothing re-sent: " + fRecord.error;
}
