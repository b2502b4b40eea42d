#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct HostEntry {
  std::string officialName;
  std::vector<std::array<unsigned char, 4>> ipv4; // network byte order, as on the wire
};

// The environment variable that, set to "online" or "offline", decides what
// IsConnectedToNetwork answers instead of the interfaces: a machine whose only network is
// loopback (a build host, a sandbox) still runs the code that needs a network, against
// local servers.
inline constexpr const char* kNetworkStateVariable = "PLATFORM_NETWORK";

// True when some interface other than loopback is up, running and has an IP address, unless
// kNetworkStateVariable says otherwise.
bool IsConnectedToNetwork();

// This machine's host name; "" when it cannot be read.
std::string LocalHostName();

// Resolves a host name (or dotted IPv4 literal) to its IPv4 addresses. nullopt when the
// lookup fails or finds no IPv4 address.
std::optional<HostEntry> LookupHost(const std::string& name);

} // namespace platform
