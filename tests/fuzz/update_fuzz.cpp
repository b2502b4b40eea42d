// The update server's answer: whatever address is found must be the text of a "$URL=" record,
// ending before a record end.

#include "net/UpdateAnswer.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view answer(reinterpret_cast<const char*>(data), size);
  IsNoRecordsAnswer(answer);
  const auto address = FindUpdateAddress(answer, [] {});
  if (!address)
    return 0;
  if (address->empty() || address->find('\r') != std::string_view::npos ||
      answer.find("$URL=" + *address) == std::string_view::npos)
    __builtin_trap();
  return 0;
}
