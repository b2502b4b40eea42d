#pragma once
// Names of the files one send writes and of the places they go on the server.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

/** The date and edition pieces a document's name gave. */
struct IssueDate {
  std::string miniYear;
  std::string month;
  std::string day;
  std::string edition;
};

/** miniyear_month_day.edition.NNN_T followed by `ending` (a variant's suffix and ".jpg", or
 *  ".xml"); the page number is padded to at least three digits. */
std::string PublishFileName(const IssueDate& date, std::int32_t pageNumber, std::int32_t timeStamp,
                            std::string_view ending);
/** The first date or edition piece that cannot stand in a folder or file name on the server:
 *  one holding "/", "\\", ".." or a control character. Nullopt when every piece can. */
std::optional<std::string> UnfitNamePiece(const IssueDate& date);
/** FTP URL/miniyear_month_day/edition/page/fileName; the page number is not padded. Every
 *  piece after the FTP URL is percent-encoded, so the server receives exactly its text. */
std::string RemoteLocation(std::string_view ftpUrl, const IssueDate& date, std::int32_t pageNumber,
                           std::string_view fileName);
/** The user name, colon and password between "ftp://" and the last "@" before the host; empty
 *  without one. */
std::string LoginOf(std::string_view ftpUrl);
/** The URL with its password, up to the last "@" before the host, replaced by "***", for
 *  traces. */
std::string MaskedUrl(std::string_view ftpUrl);
/** Seconds since 1970 as the low 32 bits, read anew at every call. */
std::int32_t CurrentTimeStamp();
