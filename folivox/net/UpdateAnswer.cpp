#include "net/UpdateAnswer.h"

#include <algorithm>
#include <strings.h>

namespace {

constexpr std::string_view kNoRecords = "brak";
constexpr std::string_view kAddressMarker = "$URL=";
// Servers end records with a carriage return, a line feed or both; either one ends it.
constexpr std::string_view kRecordEnds = "\r\n";

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         strncasecmp(text.data(), prefix.data(), prefix.size()) == 0;
}

// The host opens the address in a browser, so only a web address will do: nothing that could
// start a program or read a local file, and nothing a shell or browser could split apart.
bool IsWebAddress(std::string_view address) {
  const bool web = StartsWithNoCase(address, "http://") || StartsWithNoCase(address, "https://");
  const bool plain = std::none_of(address.begin(), address.end(),
                                  [](unsigned char c) { return c <= ' ' || c == 0x7F; });
  return web && plain && address.size() > address.find("//") + 2;
}

} // namespace

bool IsNoRecordsAnswer(std::string_view answer) {
  return answer.starts_with(kNoRecords);
}

std::optional<std::string> FindUpdateAddress(std::string_view answer, void (*pause)()) {
  std::optional<std::string> found;
  std::size_t i = 0;
  while (i < answer.size()) {
    pause();
    if (!answer.substr(i).starts_with(kAddressMarker)) {
      ++i;
      continue;
    }
    const std::size_t start = i + kAddressMarker.size();
    const std::size_t end = std::min(answer.find_first_of(kRecordEnds, start), answer.size());
    const std::string_view address = answer.substr(start, end - start);
    // An empty or unusable record cannot stand in for an earlier good one.
    if (IsWebAddress(address))
      found = std::string(address);
    i = end + 1;
  }
  return found;
}
