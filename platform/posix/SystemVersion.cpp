#include <platform/SystemVersion.h>

#include <array>
#include <charconv>
#include <sys/utsname.h>

namespace platform {
namespace {

constexpr uint32_t kByteMask = 0xFF;
constexpr uint32_t kBuildMask = 0x7FFF;

} // namespace

VersionNumbers ParseReleaseNumbers(std::string_view release) {
  std::array<unsigned, 3> numbers{};
  std::string_view rest = release;
  for (unsigned& number : numbers) {
    // An overflowing number leaves its slot at 0 and ends the parse like any other junk.
    const auto [stop, error] = std::from_chars(rest.data(), rest.data() + rest.size(), number);
    if (error != std::errc()) {
      break;
    }
    rest.remove_prefix(static_cast<std::size_t>(stop - rest.data()));
    if (!rest.starts_with('.')) {
      break;
    }
    rest.remove_prefix(1);
  }
  return {numbers[0], numbers[1], numbers[2]};
}

uint32_t PackVersion(VersionNumbers version) {
  return (version.major & kByteMask) | (version.minor & kByteMask) << 8 |
         (version.build & kBuildMask) << 16;
}

uint32_t PackedSystemVersion() {
  utsname system{};
  if (uname(&system) != 0) {
    return 0;
  }
  return PackVersion(ParseReleaseNumbers(system.release));
}

} // namespace platform
