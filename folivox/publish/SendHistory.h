#pragma once
// The record of every send, kept in the working folder: one line a send, appended and synced
// as the send ends, so that a crash at any moment leaves the earlier records readable. The
// file keeps the last kSendHistoryLimit sends; the oldest go first.

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class SendOutcome { kSent, kFailed, kCancelled, kNothingSent };
/** kUnsent: the send ended before the file's turn; kSkipped: it could not be read. */
enum class FileOutcome { kSent, kFailed, kUnsent, kSkipped };
/** kResend: a re-send of the files an earlier send left unsent; kLeftovers: no send, a list of
 *  files found in the working folder that no send knows of. */
enum class SendKind { kSend, kResend, kLeftovers };

struct SentFile {
  std::int32_t page = 0;
  std::string name;
  std::uint64_t bytes = 0;
  FileOutcome outcome = FileOutcome::kUnsent;
};

struct SendRecord {
  /** Seconds since 1970 when the send began. */
  std::int64_t when = 0;
  SendOutcome outcome = SendOutcome::kNothingSent;
  /** Whether a save started it. */
  bool beforeSave = false;
  std::string document;
  /** The pages the document's name gave; both 0 before the name was read. */
  std::int32_t firstPage = 0;
  std::int32_t lastPage = 0;
  /** The server and folder, without the password. */
  std::string server;
  std::int64_t milliseconds = 0;
  /** Why the send failed or sent nothing; empty otherwise. */
  std::string error;
  std::vector<SentFile> files;
  SendKind kind = SendKind::kSend;
  /** The pending batch the files left unsent became, or the one a re-send sent; empty when
   *  none. */
  std::string batch;
};

inline constexpr std::size_t kSendHistoryLimit = 1000;
inline constexpr const char kSendHistoryFileName[] = "FolivoHistory.txt";

/** The history file's path; empty when there is no working folder. */
std::string SendHistoryFile();
/** Appends one record and, when `cutBack` (the caller holds the records' lock), keeps the file
 *  bounded; false on failure. */
bool AppendSendRecord(const SendRecord& record, bool cutBack = true);
/** Cuts the file back to its last kSendHistoryLimit records when it holds more, or damaged
 *  lines; run by the holder of the records' lock. How many damaged lines it dropped. */
std::size_t CutBackSendHistory();
/** The readable records, oldest first, at most the last kSendHistoryLimit when read; a line
 *  cut short by a crash, or damaged, is left out. Read again only when the file changed. */
const std::vector<SendRecord>& SendHistory();

// The records' fields: tabs separate them and a line feed ends a record, so neither may stand
// in one.
std::string Escaped(const std::string& text);
std::optional<std::string> Unescaped(std::string_view text);
std::vector<std::string_view> Fields(std::string_view line);
/** Reads a whole field as a decimal number; false for anything else in it. */
template <class Number> bool ReadNumber(std::string_view text, Number& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}
/** The complete lines of a file: a last line a crash cut short, without its line feed, is
 *  left out. */
std::vector<std::string> ReadLines(const std::string& path);

std::string FormatSendRecord(const SendRecord& record);
std::optional<SendRecord> ParseSendRecord(const std::string& line);

const char* OutcomeWord(SendOutcome outcome);
const char* OutcomeWord(FileOutcome outcome);
/** Any address as it is shown anywhere, without its password: the password and what follows
 *  it up to the last "@" before the host taken out ("ftp://user:se@cret@host/pages" reads
 *  "ftp://user@host/pages"). */
std::string ServerShown(const std::string& url);
/** "2026-12-07 19:40:02", local time. */
std::string LocalTimeText(std::int64_t when);
/** "312 bytes", "48.2 kB", "2.1 MB". */
std::string SizeText(std::uint64_t bytes);
/** "page 12" or "pages 5–8"; empty when none was read. */
std::string PagesText(const SendRecord& record);
/** How many of its files a send sent, and their bytes. */
std::size_t FilesSent(const SendRecord& record);
std::uint64_t BytesSent(const SendRecord& record);
/** A send in two parts: what was sent (when, how it ended and `note` in brackets after it, the
 *  document and pages), and how (the files sent, the server, the time taken, and why it failed
 *  or sent nothing). A record of leftovers has only the first. */
struct SendDescription {
  std::string what;
  std::string how;
};
SendDescription DescribeSend(const SendRecord& record, const std::string& note = {});
/** Both parts of a send in one line. */
std::string SendSummary(const SendRecord& record, const std::string& note = {});
