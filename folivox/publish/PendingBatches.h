#pragma once
// The files a send left when it ended early, kept as pending batches so that they can be
// re-sent as they were. One append-only file in the working folder holds a line per batch
// and a line per batch that was closed (sent by a re-send, or superseded by a later send of
// its pages). A file of an open batch is unsent while it is still on the disk: a sent file is
// deleted, so a kill at any moment leaves exactly the unsent ones pending.
//
// The working folder is bounded: it holds the files of the open batches (at most one batch
// a failed send, and a successful send of the same pages closes them), the files no batch
// knows for at most kLeftoverGraceDays days, and the two records, each cut back to its limit.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct PendingFile {
  std::int32_t page = 0;
  /** The local file's name in the working folder, which is also its name on the server. */
  std::string name;
  /** Where it goes below the server's folder: "/26_12_07/A/3/name". */
  std::string path;
};

enum class BatchState { kPending, kSent, kSuperseded };

struct PendingBatch {
  std::string id;
  std::int64_t when = 0;
  std::string document;
  std::int32_t firstPage = 0;
  std::int32_t lastPage = 0;
  /** The server's folder as the history shows it, without the password. */
  std::string server;
  /** In upload order. */
  std::vector<PendingFile> files;
  BatchState state = BatchState::kPending;
};

inline constexpr const char kPendingFileName[] = "FolivoPending.txt";
/** Closed batches kept in the file once it is cut back. */
inline constexpr std::size_t kClosedBatchLimit = 200;
inline constexpr std::int64_t kLeftoverGraceDays = 7;

/** A new batch's id, unique in this working folder. */
std::string NewBatchId(std::int64_t when);
/** Records a batch; false when it could not be written. */
bool AddPendingBatch(const PendingBatch& batch);
/** Every readable batch, oldest first, closed ones with their state. */
std::vector<PendingBatch> ReadBatches();
/** The open batches that still have a file to send, oldest first. */
std::vector<PendingBatch> OpenBatches();
/** The files of `batch` still on the disk, in upload order. */
std::vector<PendingFile> UnsentFiles(const PendingBatch& batch);
bool CloseBatch(const std::string& id, BatchState state);
/** Closes the open batches of `document` whose pages all lie in first..last and deletes their
 *  files: a later send of those pages went. Returns how many it closed. */
std::size_t SupersedeBatches(const std::string& document, std::int32_t first, std::int32_t last);
/** The state of the batch `id`; nullopt when no batch has it. */
std::optional<BatchState> StateOfBatch(const std::string& id);
struct SendRecord;
/** What became of the files a send left, for its line in the history: "3 files pending",
 *  "unsent files re-sent", "unsent files superseded by a later send"; empty when it left
 *  none. */
std::string BatchNote(const SendRecord& record);
/** Files in the working folder that no open batch holds, named as a send names its files, made
 *  private by this user (no user writes such a file): listed once in the history when first
 *  found, removed kLeftoverGraceDays after that. Run as a send ends. */
void SweepLeftovers(std::int64_t now);
/** How many files of the open batches of `document` wait for page `page`. */
std::size_t UnsentFilesOfPage(const std::string& document, std::int32_t page);
