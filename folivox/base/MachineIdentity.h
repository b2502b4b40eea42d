#pragma once
// Texts that identify this workstation, its user and the plug-in build to the publishing
// server.

#include <layra/PMString.h>
#include <platform/Identity.h>
#include <platform/Network.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

/** The hardware address in a time-based UUID, "AA:BB:CC:DD:EE:FF\n". */
PMString GetMacAddressText();
/** The user name written into upload manifests. */
PMString GetManifestUserName();
/** The login name of the user running the host; "no username" when it cannot be read. */
PMString GetLoginUserName();
/** The first adapter's hardware address, else the first IPv4 address of `host`, else "". */
std::string GetAdapterAddressText(const platform::HostEntry& host);
/** The running system's version as "major.minor.build". */
std::string GetWindowsVersionText();
/** The digits of `buildText` (of `versionText` when it is empty) as a number; 1 without any. */
std::uint32_t GetBuildNumber(const std::string& buildText, const std::string& versionText);

/** "AA:BB:CC:DD:EE:FF\n": upper-case hex with a line feed. */
std::string FormatMacAddressLine(const platform::HardwareAddress& address);
/** "aa:bb:cc:dd:ee:ff": lower-case hex, no line end. */
std::string FormatAdapterAddress(const platform::HardwareAddress& address);
/** Dotted decimal of an address in network byte order. */
std::string FormatIPv4Address(const std::array<unsigned char, 4>& address);
/** The adapter text, or `host`'s first IPv4 address when there is no adapter. */
std::string ChooseAdapterAddressText(const std::optional<platform::HardwareAddress>& adapter,
                                     const platform::HostEntry& host);
/** "major.minor.build" of a packed version word. */
std::string FormatPackedVersion(std::uint32_t packed);
