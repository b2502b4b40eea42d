#include "net/UpdateServer.h"

#include "net/Scramble.h"
#include "net/ScrambledUpdateServer.h"

#include <array>

namespace {

constexpr std::size_t kClearTextCapacity = 256;

template <std::size_t Size>
std::string ClearText(const std::array<unsigned char, Size>& scrambled) {
  static_assert(Size < kClearTextCapacity, "the build keeps scrambled texts below 256 bytes");
  std::array<char, kClearTextCapacity> buffer{};
  Unscramble(scrambled, folivox::scrambled::kScrambleKey, buffer);
  return std::string(buffer.data());
}

} // namespace

UpdateServer BuiltInUpdateServer() {
  namespace scrambled = folivox::scrambled;
  return {ClearText(scrambled::kHost), ClearText(scrambled::kUser), ClearText(scrambled::kPassword),
          ClearText(scrambled::kPathPrefix)};
}
