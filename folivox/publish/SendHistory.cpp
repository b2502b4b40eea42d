#include "publish/SendHistory.h"

#include "base/Trace.h"
#include "publish/WorkingFolder.h"

#include <platform/Files.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <set>
#include <sys/stat.h>

namespace {

// Version 1 lines, written before re-sends existed, lack the kind and the batch.
constexpr const char kFormatVersion[] = "2";
constexpr const char kFirstFormatVersion[] = "1";
// Fields before the files; each file adds four.
constexpr std::size_t kFirstSendFields = 11;
constexpr std::size_t kSendFields = 13;
constexpr std::size_t kFileFields = 4;

const char* const kSendWords[] = {"sent", "failed", "cancelled", "nothing"};
const char* const kFileWords[] = {"sent", "failed", "unsent", "skipped"};
const char* const kKindWords[] = {"send", "resend", "leftovers"};

} // namespace

std::string Escaped(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
    case '\\':
      out += "\\\\";
      break;
    case '\t':
      out += "\\t";
      break;
    case '\n':
      out += "\\n";
      break;
    case '\r':
      out += "\\r";
      break;
    default:
      out += c;
    }
  }
  return out;
}

std::optional<std::string> Unescaped(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i == text.size())
      return std::nullopt;
    switch (text[i]) {
    case '\\':
      out += '\\';
      break;
    case 't':
      out += '\t';
      break;
    case 'n':
      out += '\n';
      break;
    case 'r':
      out += '\r';
      break;
    default:
      return std::nullopt;
    }
  }
  return out;
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (std::size_t start = 0;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab - start));
    if (tab == std::string_view::npos)
      return fields;
    start = tab + 1;
  }
}

namespace {

template <class Outcome, std::size_t N>
bool ReadWord(std::string_view text, const char* const (&words)[N], Outcome& outcome) {
  for (std::size_t i = 0; i < N; ++i) {
    if (text == words[i]) {
      outcome = static_cast<Outcome>(i);
      return true;
    }
  }
  return false;
}

// Far more than the records of their limits ever take; a larger file is no record of ours.
constexpr std::size_t kRecordFileLimit = 64 << 20;

// A FIFO, a link or a device in place of a record is said once and not used.
void ReportRefusedRecord(const std::string& path) {
  static std::set<std::string> reported;
  if (platform::IsNoRegularFile(path) && reported.insert(path).second)
    folivox::Trace("%s is no plain file; it is not read.\n", path.c_str());
}

struct Cache {
  std::vector<SendRecord> records;
  // Lines in the file, read or not, and those that could not be read.
  std::size_t lines = 0;
  std::size_t damaged = 0;
  // What the file looked like when it was read: a change of either reads it again.
  timespec modified{};
  off_t size = -1;
};

Cache& HistoryCache() {
  static Cache cache;
  return cache;
}

} // namespace

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  const std::optional<std::string> text = platform::ReadRegularFile(path, kRecordFileLimit);
  if (!text) {
    ReportRefusedRecord(path);
    return lines;
  }
  for (std::size_t start = 0;;) {
    const std::size_t end = text->find('\n', start);
    // The last line of a file a crash cut short has no line feed; it is no record.
    if (end == std::string::npos)
      return lines;
    lines.emplace_back(*text, start, end - start);
    start = end + 1;
  }
}

namespace {

// The file may run this far past the limit before it is cut back, so that a send pays for a
// rewrite once in many.
constexpr std::size_t kTrimSlack = kSendHistoryLimit / 10;

bool Remember(Cache& cache, const std::string& path) {
  struct stat now {};
  if (::stat(path.c_str(), &now) != 0)
    return false;
  cache.modified = now.st_mtim;
  cache.size = now.st_size;
  return true;
}

// Rewrites the file with the last kSendHistoryLimit readable records.
void Rewrite(Cache& cache, const std::string& path) {
  std::string kept;
  for (const SendRecord& record : cache.records)
    kept += FormatSendRecord(record) + "\n";
  if (!platform::ReplaceDurably(path, kept)) {
    folivox::Trace("Could not shorten the send history %s.\n", path.c_str());
    return;
  }
  cache.lines = cache.records.size();
  cache.damaged = 0;
  Remember(cache, path);
}

void KeepLast(std::vector<SendRecord>& records) {
  if (records.size() > kSendHistoryLimit)
    records.erase(records.begin(), records.end() - static_cast<std::ptrdiff_t>(kSendHistoryLimit));
}

} // namespace

const char* OutcomeWord(SendOutcome outcome) {
  return kSendWords[static_cast<std::size_t>(outcome)];
}

const char* OutcomeWord(FileOutcome outcome) {
  return kFileWords[static_cast<std::size_t>(outcome)];
}

std::string FormatSendRecord(const SendRecord& record) {
  std::string line = std::string(kFormatVersion) + "\t" + std::to_string(record.when) + "\t" +
                     OutcomeWord(record.outcome) + "\t" + (record.beforeSave ? "1" : "0") + "\t" +
                     Escaped(record.document) + "\t" + std::to_string(record.firstPage) + "\t" +
                     std::to_string(record.lastPage) + "\t" + Escaped(record.server) + "\t" +
                     std::to_string(record.milliseconds) + "\t" + Escaped(record.error) + "\t" +
                     std::to_string(record.files.size()) + "\t" +
                     kKindWords[static_cast<std::size_t>(record.kind)] + "\t" +
                     Escaped(record.batch);
  for (const SentFile& file : record.files)
    line += "\t" + std::to_string(file.page) + "\t" + Escaped(file.name) + "\t" +
            std::to_string(file.bytes) + "\t" + OutcomeWord(file.outcome);
  return line;
}

std::optional<SendRecord> ParseSendRecord(const std::string& line) {
  const std::vector<std::string_view> f = Fields(line);
  SendRecord record;
  std::size_t files = 0;
  int beforeSave = 0;
  const bool first = !f.empty() && f[0] == kFirstFormatVersion;
  const std::size_t sendFields = first ? kFirstSendFields : kSendFields;
  if (f.size() < sendFields || (!first && f[0] != kFormatVersion) ||
      !ReadNumber(f[1], record.when) || !ReadWord(f[2], kSendWords, record.outcome) ||
      !ReadNumber(f[3], beforeSave) || !ReadNumber(f[5], record.firstPage) ||
      !ReadNumber(f[6], record.lastPage) || !ReadNumber(f[8], record.milliseconds) ||
      !ReadNumber(f[10], files) || f.size() != sendFields + files * kFileFields)
    return std::nullopt;
  if (!first) {
    const auto batch = Unescaped(f[12]);
    if (!ReadWord(f[11], kKindWords, record.kind) || !batch)
      return std::nullopt;
    record.batch = *batch;
  }
  const auto document = Unescaped(f[4]);
  const auto server = Unescaped(f[7]);
  const auto error = Unescaped(f[9]);
  if (!document || !server || !error)
    return std::nullopt;
  record.beforeSave = beforeSave != 0;
  record.document = *document;
  record.server = *server;
  record.error = *error;
  for (std::size_t k = sendFields; k < f.size(); k += kFileFields) {
    SentFile file;
    const auto name = Unescaped(f[k + 1]);
    if (!name || !ReadNumber(f[k], file.page) || !ReadNumber(f[k + 2], file.bytes) ||
        !ReadWord(f[k + 3], kFileWords, file.outcome))
      return std::nullopt;
    file.name = *name;
    record.files.push_back(std::move(file));
  }
  return record;
}

std::string SendHistoryFile() {
  const PMString folder = GetWorkingFolder();
  if (folder.IsEmpty())
    return {};
  return folder.GetUTF8String() + "/" + kSendHistoryFileName;
}

bool AppendSendRecord(const SendRecord& record, bool cutBack) {
  SendHistory(); // what is on the disk now, so that the cache can follow the append
  const std::string path = SendHistoryFile();
  if (path.empty() || !platform::AppendDurably(path, FormatSendRecord(record) + "\n"))
    return false;
  Cache& cache = HistoryCache();
  cache.records.push_back(record);
  KeepLast(cache.records);
  ++cache.lines;
  Remember(cache, path);
  if (cutBack && cache.lines > kSendHistoryLimit + kTrimSlack)
    Rewrite(cache, path);
  return true;
}

std::size_t CutBackSendHistory() {
  SendHistory();
  Cache& cache = HistoryCache();
  const std::size_t damaged = cache.damaged;
  if (cache.lines > kSendHistoryLimit || damaged > 0)
    Rewrite(cache, SendHistoryFile());
  return damaged;
}

const std::vector<SendRecord>& SendHistory() {
  Cache& cache = HistoryCache();
  const std::string path = SendHistoryFile();
  struct stat now {};
  if (path.empty() || ::stat(path.c_str(), &now) != 0) {
    cache = Cache{};
    return cache.records;
  }
  if (now.st_size == cache.size && now.st_mtim.tv_sec == cache.modified.tv_sec &&
      now.st_mtim.tv_nsec == cache.modified.tv_nsec)
    return cache.records;
  cache.records.clear();
  cache.damaged = 0;
  const std::vector<std::string> lines = ReadLines(path);
  for (const std::string& line : lines) {
    if (std::optional<SendRecord> record = ParseSendRecord(line))
      cache.records.push_back(std::move(*record));
    else
      ++cache.damaged;
  }
  cache.lines = lines.size();
  KeepLast(cache.records);
  cache.modified = now.st_mtim;
  cache.size = now.st_size;
  return cache.records;
}

std::string ServerShown(const std::string& url) {
  const std::size_t scheme = url.find("://");
  const std::size_t start = scheme == std::string::npos ? 0 : scheme + 3;
  // A raw "@" may stand in the password: the host follows the last one before the path.
  const std::size_t hostEnd = std::min(url.find_first_of("/?#", start), url.size());
  const std::size_t at = url.rfind('@', hostEnd == 0 ? 0 : hostEnd - 1);
  if (at == std::string::npos || at < start)
    return url;
  const std::size_t colon = url.find(':', start);
  if (colon == std::string::npos || colon > at)
    return url;
  return url.substr(0, colon) + url.substr(at);
}

std::string LocalTimeText(std::int64_t when) {
  const std::time_t seconds = static_cast<std::time_t>(when);
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

std::string SizeText(std::uint64_t bytes) {
  char text[32];
  if (bytes < 1000)
    std::snprintf(text, sizeof text, "%llu bytes", static_cast<unsigned long long>(bytes));
  else if (bytes < 1000 * 1000)
    std::snprintf(text, sizeof text, "%.1f kB", static_cast<double>(bytes) / 1e3);
  else
    std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / 1e6);
  return text;
}

std::string PagesText(const SendRecord& record) {
  if (record.firstPage == 0 && record.lastPage == 0)
    return {};
  if (record.firstPage == record.lastPage)
    return "page " + std::to_string(record.firstPage);
  return "pages " + std::to_string(record.firstPage) + "\u2013" + std::to_string(record.lastPage);
}

std::size_t FilesSent(const SendRecord& record) {
  std::size_t sent = 0;
  for (const SentFile& file : record.files)
    sent += file.outcome == FileOutcome::kSent ? 1 : 0;
  return sent;
}

std::uint64_t BytesSent(const SendRecord& record) {
  std::uint64_t bytes = 0;
  for (const SentFile& file : record.files)
    bytes += file.outcome == FileOutcome::kSent ? file.bytes : 0;
  return bytes;
}

SendDescription DescribeSend(const SendRecord& record, const std::string& note) {
  if (record.kind == SendKind::kLeftovers)
    return {LocalTimeText(record.when) + "  found " + std::to_string(record.files.size()) +
                " files no send knows of in the working folder; they go after " + record.error,
            {}};
  SendDescription send;
  send.what = LocalTimeText(record.when) + "  " +
              (record.kind == SendKind::kResend ? "re-send " : "") + OutcomeWord(record.outcome) +
              (note.empty() ? "" : " (" + note + ")") + "  " + record.document;
  if (const std::string pages = PagesText(record); !pages.empty())
    send.what += "  " + pages;
  if (record.beforeSave)
    send.what += "  (before saving)";
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.1f s", static_cast<double>(record.milliseconds) / 1e3);
  send.how = std::to_string(FilesSent(record)) + " of " + std::to_string(record.files.size()) +
             " files, " + SizeText(BytesSent(record));
  if (!record.server.empty())
    send.how += "  " + record.server;
  send.how += "  " + std::string(seconds);
  if (!record.error.empty())
    send.how += "  " + record.error;
  return send;
}

std::string SendSummary(const SendRecord& record, const std::string& note) {
  const SendDescription send = DescribeSend(record, note);
  return send.how.empty() ? send.what : send.what + "  " + send.how;
}
