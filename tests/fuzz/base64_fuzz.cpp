// The host's base64 (document pictures and plug-in data) against the plug-in's (configuration
// and passwords). The plug-in's decoder is the stricter: whatever it accepts the host's must
// decode to the same bytes. Both encoders must agree and round-trip.

#include "publish/Base64.h"

#include <storage/Base64.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto strict = Base64Decode(text);
  const auto lax = layra::DecodeBase64(text);
  if (strict && (!lax || std::string(lax->begin(), lax->end()) != *strict))
    __builtin_trap();

  const std::vector<unsigned char> bytes(data, data + size);
  const std::string encoded = layra::EncodeBase64(bytes);
  if (Base64Encode(text) != encoded || layra::DecodeBase64(encoded) != bytes ||
      Base64Decode(encoded) != std::string(text))
    __builtin_trap();
  return 0;
}
