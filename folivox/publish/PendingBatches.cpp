#include "publish/PendingBatches.h"

#include "base/Trace.h"
#include "publish/RecordsLock.h"
#include "publish/SendHistory.h"
#include "publish/WorkingFolder.h"

#include <algorithm>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace {

// A batch line: its fields, then three a file. "batch" lines were written by an earlier
// version that kept no identities; "plan" lines are written ahead of the work.
constexpr std::size_t kBatchFields = 8;
constexpr std::size_t kPendingFileFields = 3;
constexpr std::size_t kStepFields = 8;
const char* const kClosedWords[] = {"pending", "sent", "superseded", "discarded"};
const char* const kStepWords[] = {"planned", "created", "made", "sent", "superseded"};

std::string BatchesPath() {
  const PMString folder = GetWorkingFolder();
  return folder.IsEmpty() ? std::string() : folder.GetUTF8String() + "/" + kPendingFileName;
}

// Whether `name` may stand for a file of a send: one whole name in the working folder, no
// folder, no control character, none of the folder's own records.
bool IsSendFileName(const std::string& name) {
  const auto unfit = [](unsigned char c) { return c < 0x20 || c == 0x7F || c == '/'; };
  return !name.empty() && name != "." && name != ".." &&
         std::none_of(name.begin(), name.end(), unfit) && name != kPendingFileName &&
         name != kSendHistoryFileName && name != kConfigurationFileName &&
         name != kConfigurationDownloadName && name != kRecordsLockFileName;
}

std::string FormatBatch(const PendingBatch& batch) {
  std::string line = std::string(batch.legacy ? "batch" : "plan") + "\t" + Escaped(batch.id) +
                     "\t" + std::to_string(batch.when) + "\t" + Escaped(batch.document) + "\t" +
                     std::to_string(batch.firstPage) + "\t" + std::to_string(batch.lastPage) +
                     "\t" + Escaped(batch.server) + "\t" + std::to_string(batch.files.size());
  for (const PendingFile& file : batch.files)
    line +=
        "\t" + std::to_string(file.page) + "\t" + Escaped(file.name) + "\t" + Escaped(file.path);
  return line;
}

std::string FormatStep(const std::string& id, const PendingFile& file) {
  const platform::FileIdentity identity = file.identity.value_or(platform::FileIdentity{});
  return "step\t" + Escaped(id) + "\t" + Escaped(file.name) + "\t" +
         kStepWords[static_cast<std::size_t>(file.step)] + "\t" + std::to_string(identity.device) +
         "\t" + std::to_string(identity.inode) + "\t" + std::to_string(identity.size) + "\t" +
         std::to_string(identity.modified);
}

std::string FormatClosed(const std::string& id, BatchState state) {
  return "closed\t" + Escaped(id) + "\t" + kClosedWords[static_cast<std::size_t>(state)];
}

std::optional<PendingBatch> ParseBatch(const std::vector<std::string_view>& f) {
  PendingBatch batch;
  std::size_t count = 0;
  if (f.size() < kBatchFields || !ReadNumber(f[2], batch.when) ||
      !ReadNumber(f[4], batch.firstPage) || !ReadNumber(f[5], batch.lastPage) ||
      !ReadNumber(f[7], count) || f.size() != kBatchFields + count * kPendingFileFields)
    return std::nullopt;
  const auto id = Unescaped(f[1]);
  const auto document = Unescaped(f[3]);
  const auto server = Unescaped(f[6]);
  if (!id || id->empty() || !document || !server)
    return std::nullopt;
  batch.id = *id;
  batch.document = *document;
  batch.server = *server;
  batch.legacy = f[0] == "batch";
  std::set<std::string> names;
  for (std::size_t k = kBatchFields; k < f.size(); k += kPendingFileFields) {
    PendingFile file;
    const auto name = Unescaped(f[k + 1]);
    const auto path = Unescaped(f[k + 2]);
    if (!ReadNumber(f[k], file.page) || !name || !path || !IsSendFileName(*name) ||
        !names.insert(*name).second)
      return std::nullopt;
    file.name = *name;
    file.path = *path;
    batch.files.push_back(std::move(file));
  }
  return batch;
}

template <std::size_t N>
std::optional<std::size_t> WordIndex(std::string_view text, const char* const (&words)[N]) {
  for (std::size_t i = 0; i < N; ++i)
    if (text == words[i])
      return i;
  return std::nullopt;
}

// The step a "step" line records, on the file it names; false when the line cannot be read or
// names no file of a batch read before it.
bool ApplyStep(std::vector<PendingBatch>& batches,
               const std::unordered_map<std::string, std::size_t>& byId,
               const std::vector<std::string_view>& f) {
  const auto id = f.size() == kStepFields ? Unescaped(f[1]) : std::nullopt;
  const auto name = id ? Unescaped(f[2]) : std::nullopt;
  const auto step = name ? WordIndex(f[3], kStepWords) : std::nullopt;
  platform::FileIdentity identity;
  if (!step || !ReadNumber(f[4], identity.device) || !ReadNumber(f[5], identity.inode) ||
      !ReadNumber(f[6], identity.size) || !ReadNumber(f[7], identity.modified))
    return false;
  const auto batch = byId.find(*id);
  if (batch == byId.end() || batches[batch->second].legacy)
    return false;
  for (PendingFile& file : batches[batch->second].files) {
    if (file.name != *name)
      continue;
    // Sent and superseded lines carry the identity the file had when it was made.
    file.step = static_cast<FileStep>(*step);
    file.identity = identity;
    return true;
  }
  return false;
}

bool ApplyClosed(std::vector<PendingBatch>& batches,
                 const std::unordered_map<std::string, std::size_t>& byId,
                 const std::vector<std::string_view>& f) {
  const auto id = f.size() == 3 ? Unescaped(f[1]) : std::nullopt;
  const auto state = id ? WordIndex(f[2], kClosedWords) : std::nullopt;
  const auto batch = state && *state > 0 ? byId.find(*id) : byId.end();
  if (batch == byId.end())
    return false;
  batches[batch->second].state = static_cast<BatchState>(*state);
  return true;
}

struct Records {
  std::vector<PendingBatch> batches;
  std::size_t damaged = 0;
};

Records ParseRecords(const std::string& path) {
  Records records;
  std::unordered_map<std::string, std::size_t> byId;
  for (const std::string& line : ReadLines(path)) {
    const std::vector<std::string_view> f = Fields(line);
    bool read = false;
    if (f[0] == "batch" || f[0] == "plan") {
      std::optional<PendingBatch> batch = ParseBatch(f);
      read = batch && byId.emplace(batch->id, records.batches.size()).second;
      if (read)
        records.batches.push_back(std::move(*batch));
    } else if (f[0] == "step") {
      read = ApplyStep(records.batches, byId, f);
    } else if (f[0] == "closed") {
      read = ApplyClosed(records.batches, byId, f);
    } else {
      // The earlier version's list of files no batch knew: nothing to keep of it.
      read = f[0] == "leftover";
    }
    records.damaged += read ? 0 : 1;
  }
  return records;
}

// The records as last read; read again only when the file changed (the history palette asks
// once a row).
const Records& CachedRecords() {
  static struct {
    Records records;
    std::string path;
    timespec modified{};
    off_t size = -1;
  } cache;
  const std::string path = BatchesPath();
  struct stat now {};
  if (path.empty() || ::stat(path.c_str(), &now) != 0) {
    cache = {};
    return cache.records;
  }
  if (path == cache.path && now.st_size == cache.size &&
      now.st_mtim.tv_sec == cache.modified.tv_sec && now.st_mtim.tv_nsec == cache.modified.tv_nsec)
    return cache.records;
  cache.records = ParseRecords(path);
  cache.path = path;
  cache.modified = now.st_mtim;
  cache.size = now.st_size;
  return cache.records;
}

bool Append(const std::string& lines, bool durable = true) {
  const std::string path = BatchesPath();
  return !path.empty() &&
         (durable ? platform::AppendDurably(path, lines) : platform::Append(path, lines));
}

bool IsUnsent(const PendingFile& file) {
  return file.step < FileStep::kSent;
}

bool HasUnsentFile(const PendingBatch& batch) {
  if (batch.legacy) {
    // Its sent files were deleted: a file of it still there is one it did not send.
    return std::any_of(batch.files.begin(), batch.files.end(), [](const PendingFile& file) {
      return platform::IdentityOf(PendingFilePath(file)).has_value();
    });
  }
  return std::any_of(batch.files.begin(), batch.files.end(), IsUnsent);
}

std::size_t ClosedCount(const std::vector<PendingBatch>& batches) {
  return static_cast<std::size_t>(
      std::count_if(batches.begin(), batches.end(),
                    [](const PendingBatch& batch) { return batch.state != BatchState::kPending; }));
}

// The pages whose every file `batch` sent.
std::set<std::int32_t> DeliveredPages(const PendingBatch& batch) {
  std::set<std::int32_t> pages;
  for (const PendingFile& file : batch.files)
    pages.insert(file.page);
  for (const PendingFile& file : batch.files)
    if (file.step != FileStep::kSent)
      pages.erase(file.page);
  return pages;
}

void DeleteRecordedFiles(const std::vector<PendingFile>& files, std::int64_t plannedAt) {
  for (const PendingFile& file : files)
    DeleteRecordedFile(file, plannedAt);
}

} // namespace

std::string NewBatchId(std::int64_t when) {
  static unsigned counter = 0;
  return std::to_string(when) + "-" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
}

std::string PendingFilePath(const PendingFile& file) {
  return GetWorkingFolder().GetUTF8String() + "/" + file.name;
}

bool RecordBatch(const PendingBatch& batch) {
  return Append(FormatBatch(batch) + "\n");
}

bool RecordSteps(const std::string& id, const std::vector<PendingFile>& files, bool durable) {
  std::string lines;
  for (const PendingFile& file : files)
    lines += FormatStep(id, file) + "\n";
  return lines.empty() || Append(lines, durable);
}

bool SyncRecords() {
  const std::string path = BatchesPath();
  return !path.empty() && platform::SyncFile(path);
}

std::vector<PendingBatch> ReadBatches() {
  return CachedRecords().batches;
}

std::size_t DamagedBatchLines() {
  return CachedRecords().damaged;
}

std::vector<PendingFile> UnsentFiles(const PendingBatch& batch) {
  std::vector<PendingFile> unsent;
  if (batch.state != BatchState::kPending)
    return unsent;
  for (const PendingFile& file : batch.files)
    if (batch.legacy ? platform::IdentityOf(PendingFilePath(file)).has_value() : IsUnsent(file))
      unsent.push_back(file);
  return unsent;
}

std::vector<PendingBatch> OpenBatches() {
  std::vector<PendingBatch> open = ReadBatches();
  std::erase_if(open, [](const PendingBatch& batch) {
    return batch.state != BatchState::kPending || !HasUnsentFile(batch);
  });
  return open;
}

bool CloseBatch(const std::string& id, BatchState state) {
  if (!Append(FormatClosed(id, state) + "\n"))
    return false;
  // Cut back once in a while, so that closing a batch pays for a rewrite once in many.
  if (ClosedCount(ReadBatches()) > kClosedBatchLimit + kClosedBatchLimit / 4)
    CutBackBatches();
  return true;
}

std::string WhyNotSendable(const PendingFile& file) {
  if (file.step < FileStep::kMade || !file.identity)
    return "was never finished (the send stopped while making it)";
  const std::optional<platform::FileIdentity> now = platform::IdentityOf(PendingFilePath(file));
  if (!now)
    return "is gone from the working folder";
  if (*now != *file.identity)
    return "was changed or replaced since the send made it";
  return {};
}

bool DeleteRecordedFile(const PendingFile& file, std::int64_t plannedAt) {
  if (file.step == FileStep::kPlanned) {
    const std::optional<platform::FileIdentity> now = platform::IdentityOf(PendingFilePath(file));
    return plannedAt > 0 && now && now->size == 0 && now->modified >= plannedAt * 1000000000 &&
           platform::DeleteIfSame(PendingFilePath(file), *now, true);
  }
  return file.identity && platform::DeleteIfSame(PendingFilePath(file), *file.identity,
                                                 file.step != FileStep::kCreated);
}

std::size_t SupersedeOlder(const PendingBatch& newer) {
  const std::set<std::int32_t> delivered = DeliveredPages(newer);
  if (delivered.empty())
    return 0;
  std::size_t superseded = 0;
  for (const PendingBatch& batch : ReadBatches()) {
    if (batch.id == newer.id)
      break; // only those recorded before it
    if (batch.state != BatchState::kPending || batch.legacy || batch.document != newer.document)
      continue;
    std::vector<PendingFile> obsolete;
    for (const PendingFile& file : UnsentFiles(batch))
      if (delivered.contains(file.page))
        obsolete.push_back(file);
    if (obsolete.empty())
      continue;
    for (PendingFile& file : obsolete)
      file.step = FileStep::kSuperseded;
    // Recorded first: a kill in between leaves a superseded file that the next start-up
    // deletes, never one that would be uploaded over the newer page.
    if (!RecordSteps(batch.id, obsolete))
      continue;
    DeleteRecordedFiles(obsolete, batch.when);
    superseded += obsolete.size();
    if (UnsentFiles(batch).size() == obsolete.size())
      CloseBatch(batch.id, BatchState::kSuperseded);
  }
  return superseded;
}

bool DiscardBatch(const std::string& id) {
  for (const PendingBatch& batch : ReadBatches()) {
    if (batch.id != id || batch.state != BatchState::kPending)
      continue;
    if (!CloseBatch(id, BatchState::kDiscarded))
      return false;
    DeleteRecordedFiles(batch.files, batch.when);
    return true;
  }
  return false;
}

void TidyBatches() {
  for (const PendingBatch& batch : ReadBatches()) {
    const bool unfinished =
        std::any_of(batch.files.begin(), batch.files.end(),
                    [](const PendingFile& f) { return f.step < FileStep::kMade; });
    const bool begun = std::any_of(batch.files.begin(), batch.files.end(),
                                   [](const PendingFile& f) { return !IsUnsent(f); });
    if (batch.state != BatchState::kPending || batch.legacy)
      continue;
    if (unfinished && !begun)
      DiscardBatch(batch.id);
    else if (!HasUnsentFile(batch)) // a kill came before its closing
      CloseBatch(batch.id, BatchState::kSent);
  }
  for (const PendingBatch& batch : ReadBatches())
    SupersedeOlder(batch);
  for (const PendingBatch& batch : ReadBatches()) {
    if (batch.legacy)
      continue;
    for (const PendingFile& file : batch.files)
      if (batch.state != BatchState::kPending || !IsUnsent(file))
        DeleteRecordedFile(file, batch.when);
  }
}

void CutBackBatches() {
  const std::vector<PendingBatch> batches = ReadBatches();
  std::size_t closed = ClosedCount(batches);
  std::string kept;
  for (const PendingBatch& batch : batches) {
    if (batch.state != BatchState::kPending && closed-- > kClosedBatchLimit)
      continue;
    kept += FormatBatch(batch) + "\n";
    for (const PendingFile& file : batch.files)
      if (!batch.legacy && file.step != FileStep::kPlanned)
        kept += FormatStep(batch.id, file) + "\n";
    if (batch.state != BatchState::kPending)
      kept += FormatClosed(batch.id, batch.state) + "\n";
  }
  if (!platform::ReplaceDurably(BatchesPath(), kept))
    folivox::Trace("Could not shorten the list of unsent files %s.\n", BatchesPath().c_str());
}

std::optional<BatchState> StateOfBatch(const std::string& id) {
  for (const PendingBatch& batch : ReadBatches())
    if (batch.id == id)
      return batch.state;
  return std::nullopt;
}

std::size_t UnsentFilesOfPage(const std::string& document, std::int32_t page) {
  std::size_t count = 0;
  for (const PendingBatch& batch : OpenBatches()) {
    if (batch.document != document)
      continue;
    for (const PendingFile& file : UnsentFiles(batch))
      count += file.page == page ? 1 : 0;
  }
  return count;
}

std::string BatchNote(const SendRecord& record) {
  if (record.batch.empty() || record.kind == SendKind::kResend ||
      record.outcome == SendOutcome::kSent)
    return {};
  for (const PendingBatch& batch : ReadBatches()) {
    if (batch.id != record.batch)
      continue;
    switch (batch.state) {
    case BatchState::kSent:
      return "unsent files re-sent";
    case BatchState::kSuperseded:
      return "unsent files superseded by a later send";
    case BatchState::kDiscarded:
      return "unsent files discarded";
    case BatchState::kPending:
      break;
    }
    return std::to_string(UnsentFiles(batch).size()) + " files pending";
  }
  return {};
}
