#include "publish/SendSession.h"

#include "base/Alerts.h"
#include "base/Trace.h"
#include "panel/FolivoTreeInformator.h"
#include "publish/AlertText.h"
#include "publish/FtpUpload.h"
#include "publish/PanelRequests.h"
#include "publish/WorkingFolder.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <utility>

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
  CloseOrKeepBatch();
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
  // A send that ended before it took the lock adds its record without cutting the file back.
  if (!RecordsLock::HeldHere())
    if (std::optional<RecordsLock> lock = RecordsLock::TryTake())
      fLock.emplace(std::move(*lock));
  if (!AppendSendRecord(fRecord, RecordsLock::HeldHere()))
    folivox::Trace("Could not write the send history %s.\n", SendHistoryFile().c_str());
  RefreshPageMarks();
  if (gShowRecordedSend)
    gShowRecordedSend();
}

// A send that ended before its upload began made nothing anyone waits for: its files go with
// its batch, and sending again makes them anew. Once the upload began, what it did not send
// stays as the open batch, and what it delivered makes older batches' pages obsolete.
void SendSession::CloseOrKeepBatch() {
  if (fBatch.id.empty())
    return;
  DeleteSentFiles();
  if (!fUploadBegan && fOrigin != SendOrigin::kResend) {
    if (!CloseBatch(fBatch.id, BatchState::kDiscarded))
      folivox::Trace("Could not write the list of unsent files.\n");
    for (const PendingFile& file : fBatch.files)
      DeleteRecordedFile(file);
    return;
  }
  fRecord.batch = fBatch.id;
  const bool allSent =
      std::all_of(fBatch.files.begin(), fBatch.files.end(),
                  [](const PendingFile& file) { return file.step >= FileStep::kSent; });
  if (allSent && !CloseBatch(fBatch.id, BatchState::kSent))
    folivox::Trace("Could not write the list of unsent files.\n");
  SupersedeOlder(fBatch);
}

bool SendSession::RecordFailure(const std::string& why) {
  folivox::ShowReport(
      FormatAlertText(PMString("0x122500kCouldNotRecordSend"),
                      {Plain(GetWorkingFolder().GetUTF8String() + "/" + kPendingFileName)}),
      kErrorIcon);
  Failed(why);
  return false;
}

bool SendSession::TakeRecordsLock() {
  std::string why;
  std::optional<RecordsLock> lock = RecordsLock::Take(
      [this](const std::string& waiting) {
        Advance(waiting, 0);
        return !Cancelled();
      },
      why);
  if (lock) {
    fLock.emplace(std::move(*lock));
    return true;
  }
  if (Cancelled())
    Cancel();
  else
    Failed(why);
  return false;
}

bool SendSession::PlanFiles(std::vector<PendingFile> files) {
  fBatch = PendingBatch{NewBatchId(fRecord.when), fRecord.when,        fRecord.document,
                        fRecord.firstPage,        fRecord.lastPage,    fRecord.server,
                        std::move(files),         BatchState::kPending};
  if (!RecordBatch(fBatch)) {
    fBatch.id.clear();
    return RecordFailure("could not record the files of the send in " +
                         std::string(kPendingFileName));
  }
  for (std::size_t k = 0; k < fBatch.files.size(); ++k) {
    fRecord.files.push_back(
        SentFile{fBatch.files[k].page, fBatch.files[k].name, 0, FileOutcome::kUnsent});
    fUploads.push_back(k);
  }
  for (std::size_t k = 0; k < fBatch.files.size(); ++k) {
    PendingFile& file = fBatch.files[k];
    file.identity = platform::CreateExclusively(PendingFilePath(file));
    if (!file.identity) {
      folivox::ShowReport(FormatAlertText(PMString("0x122500kCouldNotMakeSendFile"),
                                          {Plain(PendingFilePath(file))}),
                          kErrorIcon);
      Failed("could not create " + file.name + " in the working folder");
      RecordSteps(fBatch.id,
                  {fBatch.files.begin(), fBatch.files.begin() + static_cast<std::ptrdiff_t>(k)});
      return false;
    }
    file.step = FileStep::kCreated;
  }
  if (!RecordSteps(fBatch.id, fBatch.files))
    return RecordFailure("could not record the files of the send in " +
                         std::string(kPendingFileName));
  return true;
}

bool SendSession::FilesMade(const std::vector<std::size_t>& indices) {
  std::vector<PendingFile> made;
  for (const std::size_t k : indices) {
    PendingFile& file = fBatch.files.at(k);
    const std::optional<platform::FileIdentity> now = platform::IdentityOf(PendingFilePath(file));
    if (!now || !file.identity || !now->SameFile(*file.identity)) {
      Failed("the file " + file.name + " was replaced while the send wrote it");
      return false;
    }
    file.identity = now;
    file.step = FileStep::kMade;
    fRecord.files.at(k).bytes = now->size;
    made.push_back(file);
  }
  if (RecordSteps(fBatch.id, made))
    return true;
  return RecordFailure("could not record the files of the send in " +
                       std::string(kPendingFileName));
}

std::vector<UploadItem> SendSession::UploadPlan() const {
  std::vector<UploadItem> items;
  for (const std::size_t k : fUploads) {
    const PendingFile& file = fBatch.files[k];
    items.push_back(
        {IDFile(PendingFilePath(file)), file.name, file.path, file.page, file.identity});
  }
  return items;
}

void SendSession::FileUploaded(std::size_t index) {
  PendingFile& file = fBatch.files.at(fUploads.at(index));
  file.step = FileStep::kSent;
  // Without the record, the file stays: a re-send may send it twice, but nothing is lost.
  if (RecordSteps(fBatch.id, {file}, false))
    fSentToDelete.push_back(file);
  else
    folivox::Trace("Could not write the list of unsent files.\n");
}

// The records that say the files were sent reach the disk once, then the files go: a kill or a
// power cut never leaves a sent file deleted and unrecorded.
void SendSession::DeleteSentFiles() {
  if (fSentToDelete.empty())
    return;
  if (!SyncRecords()) {
    folivox::Trace("Could not write the list of unsent files.\n");
    return;
  }
  for (const PendingFile& file : std::exchange(fSentToDelete, {}))
    if (!DeleteRecordedFile(file))
      folivox::Trace("Error while DeleteFile.\n");
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
  fRecord.document = batch.document;
  SetPages(batch.firstPage, batch.lastPage);
  fRecord.server = batch.server;
  fBatch = batch;
  fRecord.batch = batch.id;
  for (const PendingFile& file : files) {
    for (std::size_t k = 0; k < fBatch.files.size(); ++k)
      if (fBatch.files[k].name == file.name)
        fUploads.push_back(k);
    fRecord.files.push_back(SentFile{file.page, file.name, file.identity ? file.identity->size : 0,
                                     FileOutcome::kUnsent});
  }
  if (gShowAndRecordSends)
    fProgress = std::make_unique<TaskProgress>(Plain("Re-sending " + std::to_string(files.size()) +
                                                     " unsent files of " + fRecord.document),
                                               static_cast<std::int32_t>(files.size()));
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

void SendSession::FileStarts(std::size_t index) {
  fCurrentFile = index;
  fUploadBegan = true;
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

std::string SendSession::SkippedFiles() const {
  std::string names;
  for (const SentFile& file : fRecord.files)
    if (file.outcome == FileOutcome::kSkipped)
      names += (names.empty() ? "" : ", ") + file.name;
  return names;
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
