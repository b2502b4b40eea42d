#include "net/UpdateAnswer.h"

#include <algorithm>

namespace {

constexpr std::string_view kNoRecords = "brak";
constexpr std::string_view kAddressMarker = "$URL=";
constexpr char kRecordEnd = '\r';

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
    const std::size_t end = std::min(answer.find(kRecordEnd, start), answer.size());
    // An empty record names nothing to download, so it cannot stand in for an earlier one.
    if (end > start) {
      found = std::string(answer.substr(start, end - start));
    }
    i = end + 1;
  }
  return found;
}
