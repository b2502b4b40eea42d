#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

struct VersionNumbers {
  unsigned major = 0;
  unsigned minor = 0;
  unsigned build = 0;
};

// Reads the leading "major.minor.build" of a kernel release string such as
// "6.1.0-18-amd64". Numbers that are missing or unreadable come back as 0.
VersionNumbers ParseReleaseNumbers(std::string_view release);

// The classic packed form: major in the lowest byte, minor in the next, and the build in the
// upper half, kept to 15 bits so the value never reads as negative when stored signed.
uint32_t PackVersion(VersionNumbers version);

// The running kernel's version in the packed form.
uint32_t PackedSystemVersion();

} // namespace platform
