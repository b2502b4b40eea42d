#pragma once

#include <array>
#include <optional>
#include <string>

namespace platform {

using HardwareAddress = std::array<unsigned char, 6>;

// The node field of a fresh time-based UUID: the machine's hardware address, or a random
// value that stays the same for the life of the process when no address can be read.
HardwareAddress SequentialUuidNode();

// The link-layer address of the first interface, loopback aside, that is up and has an IPv4
// address; in the system's order of interfaces.
std::optional<HardwareAddress> FirstAdapterAddress();

// The name the effective user logs in with; from the user database first, since the
// environment can be edited by anyone who starts the host.
std::optional<std::string> LoginUserName();

} // namespace platform
