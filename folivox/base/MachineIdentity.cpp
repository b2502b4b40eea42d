#include "base/MachineIdentity.h"

#include "base/Trace.h"

#include <platform/SystemVersion.h>

#include <limits>
#include <utility>

namespace {

constexpr std::uint32_t kByteMask = 0xFF;
constexpr std::uint32_t kExtendedBuildFlag = 0x80000000;
constexpr std::uint32_t kBuildMask = 0x7FFF;
constexpr std::uint32_t kFirstExtendedMajor = 4;

std::string JoinHexBytes(const platform::HardwareAddress& address, const char* digits) {
  std::string text;
  for (const unsigned char byte : address) {
    if (!text.empty()) {
      text += ':';
    }
    text += digits[byte >> 4];
    text += digits[byte & 0xF];
  }
  return text;
}

} // namespace

std::string FormatMacAddressLine(const platform::HardwareAddress& address) {
  return JoinHexBytes(address, "0123456789ABCDEF") + '\n';
}

std::string FormatAdapterAddress(const platform::HardwareAddress& address) {
  return JoinHexBytes(address, "0123456789abcdef");
}

std::string FormatIPv4Address(const std::array<unsigned char, 4>& address) {
  std::string text;
  for (const unsigned char byte : address) {
    if (!text.empty()) {
      text += '.';
    }
    text += std::to_string(byte);
  }
  return text;
}

std::string ChooseAdapterAddressText(const std::optional<platform::HardwareAddress>& adapter,
                                     const platform::HostEntry& host) {
  if (adapter) {
    return FormatAdapterAddress(*adapter);
  }
  if (host.ipv4.empty()) {
    return {};
  }
  return FormatIPv4Address(host.ipv4.front());
}

std::string FormatPackedVersion(std::uint32_t packed) {
  const std::uint32_t major = packed & kByteMask;
  const std::uint32_t minor = (packed >> 8) & kByteMask;
  std::uint32_t build = packed >> 16;
  // With the top bit set only the old systems keep a build number in the upper half.
  if ((packed & kExtendedBuildFlag) != 0) {
    build = major < kFirstExtendedMajor ? build & kBuildMask : 0;
  }
  return std::to_string(major) + '.' + std::to_string(minor) + '.' + std::to_string(build);
}

PMString GetMacAddressText() {
  return PMString(FormatMacAddressLine(platform::SequentialUuidNode()),
                  PMString::kDontTranslateDuringCall);
}

PMString GetManifestUserName() {
  return PMString("test user", PMString::kDontTranslateDuringCall);
}

PMString GetLoginUserName() {
  // A login name is data: it must never be swapped for a string-table text.
  if (auto name = platform::LoginUserName()) {
    return PMString(std::move(*name), PMString::kDontTranslateDuringCall);
  }
  folivox::Trace("Failed to get the username.\n");
  return PMString("no username", PMString::kDontTranslateDuringCall);
}

std::string GetAdapterAddressText(const platform::HostEntry& host) {
  return ChooseAdapterAddressText(platform::FirstAdapterAddress(), host);
}

std::string GetWindowsVersionText() {
  return FormatPackedVersion(platform::PackedSystemVersion());
}

std::uint32_t GetBuildNumber(const std::string& buildText, const std::string& versionText) {
  const std::string& source = buildText.empty() ? versionText : buildText;
  constexpr std::uint32_t kLargest = std::numeric_limits<std::uint32_t>::max();
  std::uint32_t number = 0;
  bool anyDigit = false;
  for (const char c : source) {
    if (c < '0' || c > '9') {
      continue;
    }
    anyDigit = true;
    const auto digit = static_cast<std::uint32_t>(c - '0');
    // A digit run too long for 32 bits saturates, so the number still sorts above any real
    // build instead of wrapping round to a small one.
    if (number > (kLargest - digit) / 10) {
      return kLargest;
    }
    number = number * 10 + digit;
  }
  return anyDigit ? number : 1;
}
