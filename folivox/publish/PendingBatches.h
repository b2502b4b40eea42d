#pragma once
// The record of every file a send or a re-send makes, kept ahead of the work so that a kill at
// any moment leaves each unsent file in a batch and no sent file in one. One append-only file
// in the working folder holds, for each send, a line that names every file it will make (its
// batch), written before the first file exists; then a line for each step of each file (made
// empty, made whole, sent, superseded), each with what identifies the file (device, inode,
// size, time); then a line when the batch is closed (sent, superseded by a later send of its
// pages, discarded by the person).
//
// The working folder is the user's whole application-data folder, so a file is only ever
// uploaded or deleted while a record says this program made it and its identity still
// matches. One process at a time writes the records (see RecordsLock).

#include <platform/Files.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

/** Where a file of a batch got to; each step is recorded before the next begins. */
enum class FileStep { kPlanned, kCreated, kMade, kSent, kSuperseded };

struct PendingFile {
  std::int32_t page = 0;
  /** The local file's name in the working folder, which is also its name on the server. */
  std::string name;
  /** Where it goes below the server's folder: "/26_12_07/A/3/name". */
  std::string path;
  FileStep step = FileStep::kPlanned;
  /** From kCreated on: the file as it was made (its size and time from kMade on). */
  std::optional<platform::FileIdentity> identity{};
};

enum class BatchState { kPending, kSent, kSuperseded, kDiscarded };

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
  /** Written by an earlier version, which kept no identities: its files are never touched. */
  bool legacy = false;
};

inline constexpr const char kPendingFileName[] = "FolivoPending.txt";
/** Closed batches kept in the file once it is cut back. */
inline constexpr std::size_t kClosedBatchLimit = 200;

/** A new batch's id, unique in this working folder. */
std::string NewBatchId(std::int64_t when);
/** The local path of a file of a batch. */
std::string PendingFilePath(const PendingFile& file);

/** Records a batch before any of its files exists; false when it could not be written. */
bool RecordBatch(const PendingBatch& batch);
/** Records the step each of `files` of batch `id` reached, in one write; not `durable`, the
 *  record survives a kill but waits for SyncRecords to be safe from a power cut. */
bool RecordSteps(const std::string& id, const std::vector<PendingFile>& files, bool durable = true);
/** Waits until every record written is on the disk. */
bool SyncRecords();
/** Every readable batch, in the order they were recorded (oldest first), with each file's
 *  last step and each closed batch's state. */
std::vector<PendingBatch> ReadBatches();
/** How many lines of the records could not be read the last time they were. */
std::size_t DamagedBatchLines();
/** The open batches that still have a file to send, oldest first. */
std::vector<PendingBatch> OpenBatches();
/** The files of `batch` not yet sent nor superseded, in upload order. */
std::vector<PendingFile> UnsentFiles(const PendingBatch& batch);
bool CloseBatch(const std::string& id, BatchState state);

/** Why `file` cannot be uploaded as recorded (never made whole, gone, changed or replaced);
 *  empty when it can. */
std::string WhyNotSendable(const PendingFile& file);
/** Deletes the local file of `file` while it is the one the record made; false otherwise. A
 *  file a kill left between its making and its record (`file` only planned) goes only while it
 *  is still empty and no older than the batch planned at `plannedAt` (seconds since 1970). */
bool DeleteRecordedFile(const PendingFile& file, std::int64_t plannedAt = 0);

/** Closes what `newer` makes obsolete: in the open batches recorded before it, of the same
 *  document, the unsent files of every page `newer` delivered whole are superseded (and
 *  deleted), and a batch left with nothing to send is closed as superseded. Returns how many
 *  files it superseded. */
std::size_t SupersedeOlder(const PendingBatch& newer);
/** Closes the open batch `id` as discarded and deletes the files the records prove it made. */
bool DiscardBatch(const std::string& id);
/** Puts the records in order after a kill, by the holder of the records' lock: a batch whose
 *  send ended before its upload began (files never made whole, none sent) is discarded, one
 *  with nothing left to send is closed, what
 *  newer batches delivered supersedes older ones, and what closed batches and sent files left
 *  on the disk (a kill between the record and the deletion) is deleted, each file only while
 *  its identity matches. */
void TidyBatches();
/** Cuts the records back to the open batches and the last kClosedBatchLimit closed ones, and
 *  drops damaged lines; run by the holder of the records' lock. */
void CutBackBatches();

/** The state of the batch `id`; nullopt when no batch has it. */
std::optional<BatchState> StateOfBatch(const std::string& id);
struct SendRecord;
/** What became of the files a send left, for its line in the history: "3 files pending",
 *  "unsent files re-sent", "unsent files superseded by a later send", "unsent files
 *  discarded"; empty when it left none. */
std::string BatchNote(const SendRecord& record);
/** How many files of the open batches of `document` wait for page `page`. */
std::size_t UnsentFilesOfPage(const std::string& document, std::int32_t page);
