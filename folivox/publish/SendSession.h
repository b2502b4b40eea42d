#pragma once
// What the person sees and what is kept of one send: its progress while it runs (with the
// way to stop it), the one line that says how it ended, and its record in the send history.
// The send itself does what it always did; it tells the session where it got to.

#include "publish/PendingBatches.h"
#include "publish/RecordsLock.h"
#include "publish/SendHistory.h"

#include <layra/TaskProgress.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

/** Whether a person asked for the send or a save started it, or it re-sends a pending batch. */
enum class SendOrigin { kAsked, kBeforeSave, kResend };

/** Off only in the benchmark that measures what progress, result and history cost. */
extern bool gShowAndRecordSends;

struct UploadItem;

class SendSession {
public:
  explicit SendSession(SendOrigin origin);
  /** Ends the send: the result line, the history record and the page list's marks. */
  ~SendSession();
  SendSession(const SendSession&) = delete;
  SendSession& operator=(const SendSession&) = delete;

  void SetDocument(const std::string& name) { fRecord.document = name; }
  void SetPages(std::int32_t first, std::int32_t last);
  void SetServer(const std::string& ftpUrl) { fRecord.server = ServerShown(ftpUrl); }
  /** The work is known: `pages` pages of `variants` previews each, rendered, described and
   *  uploaded. Progress shows from here on. */
  void BeginWork(std::int32_t pages, std::size_t variants);
  /** A re-send of `batch`: its unsent files are the work. */
  void BeginResend(const PendingBatch& batch, const std::vector<PendingFile>& files);

  /** Takes the records' lock for the rest of the send, waiting while another process sends
   *  (the person may stop the wait); false, with the reason as the send's, when it could not. */
  bool TakeRecordsLock();
  /** Records `files`, in upload order, as the send's batch before any of them exists, then
   *  makes each one empty and private; false, after an alert, when either cannot be done. */
  bool PlanFiles(std::vector<PendingFile> files);
  /** Records the files at `indices` of the plan as made whole; false when one of them is no
   *  longer the file made for it. */
  bool FilesMade(const std::vector<std::size_t>& indices);
  /** The planned files to upload, in upload order. */
  std::vector<UploadItem> UploadPlan() const;

  /** Whether the person asked to stop; asked only where stopping leaves the client as it was. */
  bool Cancelled();
  /** Ends the send as cancelled at a safe point. */
  void Cancel() { fRecord.outcome = SendOutcome::kCancelled; }
  void PageRendered(std::int32_t pageNumber);
  void ManifestWritten(std::int32_t pageNumber);
  void FileStarts(std::size_t index);
  /** Bytes of the running upload that reached the server. */
  void FileProgress(std::uint64_t sent);
  /** The server has the file at `index` whole: recorded as sent, so that a kill never sends it
   *  twice; its local copy goes with DeleteSentFiles. */
  void FileUploaded(std::size_t index);
  /** Deletes the files recorded as sent, once the records are on the disk. */
  void DeleteSentFiles();
  void FileEnded(std::size_t index, FileOutcome outcome);
  /** The files the upload could not open, by name; empty when none. They stay pending. */
  std::string SkippedFiles() const;

  void NothingSent(const std::string& why);
  void Failed(const std::string& why);
  void Sent() { fRecord.outcome = SendOutcome::kSent; }

  /** The line that says how the send ended. */
  std::string ResultLine() const;

private:
  void CloseOrKeepBatch();
  bool RecordFailure(const std::string& why);
  std::string ResendLine() const;
  void Advance(const std::string& text, std::int32_t steps);

  SendOrigin fOrigin;
  SendRecord fRecord;
  std::chrono::steady_clock::time_point fStart;
  std::unique_ptr<TaskProgress> fProgress;
  std::int32_t fPageCount = 0;
  std::size_t fVariants = 0;
  std::int32_t fPagesRendered = 0;
  std::size_t fCurrentFile = 0;
  std::optional<RecordsLock> fLock;
  /** The batch the send works on, and, by upload index, its files being uploaded. */
  PendingBatch fBatch;
  std::vector<std::size_t> fUploads;
  std::vector<PendingFile> fSentToDelete;
  bool fUploadBegan = false;
};
