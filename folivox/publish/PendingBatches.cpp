#include "publish/PendingBatches.h"

#include "base/Trace.h"
#include "publish/SendHistory.h"
#include "publish/WorkingFolder.h"

#include <platform/Files.h>

#include <boost/regex.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kBatchFields = 8;
constexpr std::size_t kPendingFileFields = 3;
const char* const kClosedWords[] = {"pending", "sent", "superseded"};

std::string BatchesPath() {
  const PMString folder = GetWorkingFolder();
  return folder.IsEmpty() ? std::string() : folder.GetUTF8String() + "/" + kPendingFileName;
}

std::string LocalPath(const std::string& name) {
  return GetWorkingFolder().GetUTF8String() + "/" + name;
}

// A batch names only files a send wrote into the working folder: a name with a folder in it,
// or one of the folder's own records, is no such file and is never touched.
bool IsSendFileName(const std::string& name) {
  return !name.empty() && name.find('/') == std::string::npos && name != "." && name != ".." &&
         name != kPendingFileName && name != kSendHistoryFileName &&
         name != kConfigurationFileName && name != kConfigurationDownloadName;
}

std::string FormatBatch(const PendingBatch& batch) {
  std::string line = "batch\t" + Escaped(batch.id) + "\t" + std::to_string(batch.when) + "\t" +
                     Escaped(batch.document) + "\t" + std::to_string(batch.firstPage) + "\t" +
                     std::to_string(batch.lastPage) + "\t" + Escaped(batch.server) + "\t" +
                     std::to_string(batch.files.size());
  for (const PendingFile& file : batch.files)
    line +=
        "\t" + std::to_string(file.page) + "\t" + Escaped(file.name) + "\t" + Escaped(file.path);
  return line;
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
  if (!id || !document || !server)
    return std::nullopt;
  batch.id = *id;
  batch.document = *document;
  batch.server = *server;
  for (std::size_t k = kBatchFields; k < f.size(); k += kPendingFileFields) {
    PendingFile file;
    const auto name = Unescaped(f[k + 1]);
    const auto path = Unescaped(f[k + 2]);
    if (!ReadNumber(f[k], file.page) || !name || !path || !IsSendFileName(*name))
      return std::nullopt;
    file.name = *name;
    file.path = *path;
    batch.files.push_back(std::move(file));
  }
  return batch;
}

void ApplyClosed(std::vector<PendingBatch>& batches, const std::vector<std::string_view>& f) {
  if (f.size() != 3)
    return;
  const auto id = Unescaped(f[1]);
  for (std::size_t state = 1; id && state < std::size(kClosedWords); ++state) {
    if (f[2] != kClosedWords[state])
      continue;
    for (PendingBatch& batch : batches)
      if (batch.id == *id)
        batch.state = static_cast<BatchState>(state);
  }
}

std::size_t ClosedCount(const std::vector<PendingBatch>& batches) {
  return static_cast<std::size_t>(
      std::count_if(batches.begin(), batches.end(),
                    [](const PendingBatch& batch) { return batch.state != BatchState::kPending; }));
}

struct Leftover {
  std::string name;
  std::int64_t listed = 0;
};

std::string FormatLeftover(const Leftover& leftover) {
  return "leftover\t" + Escaped(leftover.name) + "\t" + std::to_string(leftover.listed);
}

std::vector<Leftover> ReadLeftovers() {
  std::vector<Leftover> leftovers;
  for (const std::string& line : ReadLines(BatchesPath())) {
    const std::vector<std::string_view> f = Fields(line);
    Leftover leftover;
    const auto name = f.size() == 3 && f[0] == "leftover" ? Unescaped(f[1]) : std::nullopt;
    if (name && IsSendFileName(*name) && ReadNumber(f[2], leftover.listed)) {
      leftover.name = *name;
      leftovers.push_back(std::move(leftover));
    }
  }
  return leftovers;
}

bool Exists(const std::string& name) {
  std::error_code error;
  return std::filesystem::is_regular_file(LocalPath(name), error);
}

// Keeps the open batches and the last kClosedBatchLimit closed ones; run once the closed ones
// are twice that, so that closing a batch pays for a rewrite once in many. Leftovers still on
// the disk stay listed.
void Trim(const std::vector<PendingBatch>& batches) {
  std::size_t closed = ClosedCount(batches);
  if (closed <= 2 * kClosedBatchLimit)
    return;
  std::string kept;
  for (const PendingBatch& batch : batches) {
    if (batch.state != BatchState::kPending && closed-- > kClosedBatchLimit)
      continue;
    kept += FormatBatch(batch) + "\n";
    if (batch.state != BatchState::kPending)
      kept += FormatClosed(batch.id, batch.state) + "\n";
  }
  for (const Leftover& leftover : ReadLeftovers())
    if (Exists(leftover.name))
      kept += FormatLeftover(leftover) + "\n";
  if (!platform::ReplaceDurably(BatchesPath(), kept))
    folivox::Trace("Could not shorten the list of unsent files %s.\n", BatchesPath().c_str());
}

} // namespace

std::string NewBatchId(std::int64_t when) {
  static unsigned counter = 0;
  return std::to_string(when) + "-" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
}

bool AddPendingBatch(const PendingBatch& batch) {
  const std::string path = BatchesPath();
  return !path.empty() && platform::AppendDurably(path, FormatBatch(batch) + "\n");
}

std::vector<PendingBatch> ReadBatches() {
  // The history palette asks once a row: the file is read again only when it changed.
  static struct {
    std::vector<PendingBatch> batches;
    std::string path;
    timespec modified{};
    off_t size = -1;
  } cache;
  const std::string path = BatchesPath();
  struct stat now {};
  if (path.empty() || ::stat(path.c_str(), &now) != 0)
    return {};
  if (path == cache.path && now.st_size == cache.size &&
      now.st_mtim.tv_sec == cache.modified.tv_sec && now.st_mtim.tv_nsec == cache.modified.tv_nsec)
    return cache.batches;
  std::vector<PendingBatch> batches;
  for (const std::string& line : ReadLines(path)) {
    const std::vector<std::string_view> f = Fields(line);
    if (f[0] == "batch") {
      if (std::optional<PendingBatch> batch = ParseBatch(f))
        batches.push_back(std::move(*batch));
    } else if (f[0] == "closed") {
      ApplyClosed(batches, f);
    }
  }
  cache.batches = batches;
  cache.path = path;
  cache.modified = now.st_mtim;
  cache.size = now.st_size;
  return batches;
}

std::vector<PendingFile> UnsentFiles(const PendingBatch& batch) {
  std::vector<PendingFile> unsent;
  if (batch.state != BatchState::kPending)
    return unsent;
  for (const PendingFile& file : batch.files) {
    std::error_code error;
    if (std::filesystem::is_regular_file(LocalPath(file.name), error))
      unsent.push_back(file);
  }
  return unsent;
}

std::vector<PendingBatch> OpenBatches() {
  std::vector<PendingBatch> open = ReadBatches();
  std::erase_if(open, [](const PendingBatch& batch) { return UnsentFiles(batch).empty(); });
  return open;
}

bool CloseBatch(const std::string& id, BatchState state) {
  const std::string path = BatchesPath();
  if (path.empty() || !platform::AppendDurably(path, FormatClosed(id, state) + "\n"))
    return false;
  Trim(ReadBatches());
  return true;
}

std::size_t SupersedeBatches(const std::string& document, std::int32_t first, std::int32_t last) {
  std::size_t closed = 0;
  // Open ones whose files are gone too: a send in the same second writes the same names.
  for (const PendingBatch& batch : ReadBatches()) {
    if (batch.state != BatchState::kPending)
      continue;
    const bool covered =
        std::all_of(batch.files.begin(), batch.files.end(), [&](const PendingFile& file) {
          return file.page >= first && file.page <= last;
        });
    if (batch.document != document || !covered)
      continue;
    const std::vector<PendingFile> unsent = UnsentFiles(batch);
    // Closed first: a kill in between leaves files no batch knows, which go after the grace
    // period, never an open batch whose files would be uploaded over the newer ones.
    if (!CloseBatch(batch.id, BatchState::kSuperseded))
      continue;
    for (const PendingFile& file : unsent)
      platform::DeleteFile(LocalPath(file.name));
    ++closed;
  }
  return closed;
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
  if (record.batch.empty() || record.kind == SendKind::kResend)
    return {};
  for (const PendingBatch& batch : ReadBatches()) {
    if (batch.id != record.batch)
      continue;
    switch (batch.state) {
    case BatchState::kSent:
      return "unsent files re-sent";
    case BatchState::kSuperseded:
      return "unsent files superseded by a later send";
    case BatchState::kPending:
      break;
    }
    return std::to_string(UnsentFiles(batch).size()) + " files pending";
  }
  return {};
}

namespace {

// A send's name: "08_12_05.A.005_1796674586-highquality.jpg", "08_12_05.A.005_1796674586.xml".
bool ShapedLikeSendFile(const std::string& name) {
  static const boost::regex kSendFile(R"(\d\d_\d\d_\d\d\..*\.\d{3,}_\d+(-.*)?\.(jpg|xml))");
  return boost::regex_match(name, kSendFile);
}

// Shape alone proves nothing: the file must also be private to this user, as a send writes it.
bool MadeBySend(const std::filesystem::directory_entry& entry) {
  struct stat info {};
  const std::string name = entry.path().filename().string();
  return IsSendFileName(name) && ShapedLikeSendFile(name) &&
         ::lstat(entry.path().c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         info.st_uid == ::geteuid() && (info.st_mode & 0777) == 0600;
}

std::set<std::string> OpenBatchFiles() {
  std::set<std::string> names;
  for (const PendingBatch& batch : ReadBatches())
    if (batch.state == BatchState::kPending)
      for (const PendingFile& file : batch.files)
        names.insert(file.name);
  return names;
}

} // namespace

void SweepLeftovers(std::int64_t now) {
  const PMString folder = GetWorkingFolder();
  if (folder.IsEmpty())
    return;
  const std::set<std::string> held = OpenBatchFiles();
  std::map<std::string, std::int64_t> listed;
  for (const Leftover& leftover : ReadLeftovers())
    listed.emplace(leftover.name, leftover.listed);
  SendRecord found;
  found.when = now;
  found.kind = SendKind::kLeftovers;
  found.error = std::to_string(kLeftoverGraceDays) + " days";
  std::string lines;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder.GetUTF8String(), error)) {
    const std::string name = entry.path().filename().string();
    if (held.contains(name) || !MadeBySend(entry))
      continue;
    const auto seen = listed.find(name);
    if (seen == listed.end()) {
      found.files.push_back(
          {0, name, static_cast<std::uint64_t>(entry.file_size(error)), FileOutcome::kUnsent});
      lines += FormatLeftover({name, now}) + "\n";
    } else if (now - seen->second >= kLeftoverGraceDays * 24 * 60 * 60) {
      platform::DeleteFile(entry.path().string());
    }
  }
  if (found.files.empty())
    return;
  if (!platform::AppendDurably(BatchesPath(), lines) || !AppendSendRecord(found))
    folivox::Trace("Could not list the files no send knows of.\n");
}
