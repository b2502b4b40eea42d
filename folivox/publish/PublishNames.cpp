#include "publish/PublishNames.h"

#include "base/PercentEncoding.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

bool LeavesFolder(std::string_view piece) {
  const auto control = [](unsigned char c) { return c < 0x20 || c == 0x7F; };
  return piece.find_first_of("/\\") != std::string_view::npos ||
         piece.find("..") != std::string_view::npos ||
         std::any_of(piece.begin(), piece.end(), control);
}

} // namespace

std::string PublishFileName(const IssueDate& date, std::int32_t pageNumber, std::int32_t timeStamp,
                            std::string_view ending) {
  char number[16];
  std::snprintf(number, sizeof number, "%03d", pageNumber);
  std::string name = date.miniYear + "_" + date.month + "_" + date.day + "." + date.edition + "." +
                     number + "_" + std::to_string(timeStamp);
  name += ending;
  return name;
}

std::optional<std::string> UnfitNamePiece(const IssueDate& date) {
  for (const std::string* piece : {&date.miniYear, &date.month, &date.day, &date.edition}) {
    if (LeavesFolder(*piece))
      return *piece;
  }
  return std::nullopt;
}

std::string RemoteLocation(std::string_view ftpUrl, const IssueDate& date, std::int32_t pageNumber,
                           std::string_view fileName) {
  std::string location(ftpUrl);
  location += "/" + PercentEncode(date.miniYear + "_" + date.month + "_" + date.day) + "/" +
              PercentEncode(date.edition) + "/" + std::to_string(pageNumber) + "/";
  location += PercentEncode(fileName);
  return location;
}

std::string LoginOf(std::string_view ftpUrl) {
  std::string_view rest = ftpUrl;
  if (rest.starts_with("ftp://"))
    rest.remove_prefix(6);
  // A raw "@" in the password leaves more than one in the authority; the host follows the
  // last.
  const std::size_t at = rest.substr(0, rest.find_first_of("/?#")).rfind('@');
  if (at == std::string_view::npos)
    return {};
  return std::string(rest.substr(0, at));
}

std::string MaskedUrl(std::string_view ftpUrl) {
  const std::size_t scheme = ftpUrl.find("://");
  const std::size_t start = scheme == std::string_view::npos ? 0 : scheme + 3;
  const std::size_t firstAt = ftpUrl.find('@', start);
  if (firstAt == std::string_view::npos)
    return std::string(ftpUrl);
  // A raw "@" in the password leaves more than one in the authority; the host follows the
  // last, and everything before it but the user name is masked.
  const std::size_t hostEnd = ftpUrl.find_first_of("/?#", firstAt);
  const std::size_t lastAt =
      ftpUrl.substr(0, hostEnd == std::string_view::npos ? ftpUrl.size() : hostEnd).rfind('@');
  const std::size_t colon = ftpUrl.find(':', start);
  if (colon == std::string_view::npos || colon > lastAt)
    return std::string(ftpUrl);
  return std::string(ftpUrl.substr(0, colon + 1)) + "***" + std::string(ftpUrl.substr(lastAt));
}

std::int32_t CurrentTimeStamp() {
  const auto seconds = static_cast<std::uint64_t>(std::time(nullptr));
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(seconds & 0xFFFFFFFFu));
}
