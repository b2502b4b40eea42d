#pragma once
// What the person sees and what is kept of one send: its progress while it runs (with the
// way to stop it), the one line that says how it ended, and its record in the send history.
// The send itself does what it always did; it tells the session where it got to.

#include "publish/PendingBatches.h"
#include "publish/SendHistory.h"

#include <layra/TaskProgress.h>

#include <chrono>
#include <memory>
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

  /** Whether the person asked to stop; asked only where stopping leaves the client as it was. */
  bool Cancelled();
  /** Ends the send as cancelled at a safe point. */
  void Cancel() { fRecord.outcome = SendOutcome::kCancelled; }
  void PageRendered(std::int32_t pageNumber);
  void ManifestWritten(std::int32_t pageNumber);
  /** The files to upload, in upload order; sizes are read from the disk. */
  void PlanFile(std::int32_t pageNumber, const std::string& path);
  void FileStarts(std::size_t index);
  /** Bytes of the running upload that reached the server. */
  void FileProgress(std::uint64_t sent);
  void FileEnded(std::size_t index, FileOutcome outcome);
  /** The files the send did not reach, in upload order: kept as a pending batch when it ends,
   *  unless it is itself a re-send, whose batch keeps them. */
  void LeaveUnsent(const std::vector<UploadItem>& items);

  void NothingSent(const std::string& why);
  void Failed(const std::string& why);
  void Sent() { fRecord.outcome = SendOutcome::kSent; }

  /** The line that says how the send ended. */
  std::string ResultLine() const;

private:
  void KeepBatches();
  void KeepUnsent();
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
  std::vector<PendingFile> fUnsent;
};
