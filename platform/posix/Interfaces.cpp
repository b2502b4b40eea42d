#include <platform/CHandles.h>
#include <platform/Identity.h>
#include <platform/Network.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ifaddrs.h>
#include <memory>
#include <net/if.h>
#include <netpacket/packet.h>
#include <set>
#include <string>
#include <sys/socket.h>

namespace platform {
namespace {

using InterfaceList = CHandle<ifaddrs, freeifaddrs>;

InterfaceList ReadInterfaces() {
  ifaddrs* first = nullptr;
  if (getifaddrs(&first) != 0) {
    first = nullptr;
  }
  return InterfaceList(first);
}

bool IsLoopback(const ifaddrs& entry) {
  return (entry.ifa_flags & IFF_LOOPBACK) != 0;
}

bool IsUpAndRunning(const ifaddrs& entry) {
  constexpr unsigned kActive = IFF_UP | IFF_RUNNING;
  return (entry.ifa_flags & kActive) == kActive;
}

bool HasFamily(const ifaddrs& entry, int family) {
  return entry.ifa_addr != nullptr && entry.ifa_addr->sa_family == family;
}

bool HasIpAddress(const ifaddrs& entry) {
  return HasFamily(entry, AF_INET) || HasFamily(entry, AF_INET6);
}

// Virtual devices often report an all-zero address, which identifies nothing.
std::optional<HardwareAddress> LinkLayerAddress(const ifaddrs& entry) {
  if (!HasFamily(entry, AF_PACKET)) {
    return std::nullopt;
  }
  const auto* link = reinterpret_cast<const sockaddr_ll*>(entry.ifa_addr);
  HardwareAddress address{};
  if (link->sll_halen != address.size()) {
    return std::nullopt;
  }
  std::copy_n(link->sll_addr, address.size(), address.begin());
  if (std::all_of(address.begin(), address.end(), [](unsigned char byte) { return byte == 0; })) {
    return std::nullopt;
  }
  return address;
}

// Any other value is ignored, so a misspelt setting cannot cut a real machine off.
std::optional<bool> StatedNetworkState() {
  const char* value = std::getenv(kNetworkStateVariable);
  if (value == nullptr)
    return std::nullopt;
  if (std::strcmp(value, "online") == 0)
    return true;
  if (std::strcmp(value, "offline") == 0)
    return false;
  return std::nullopt;
}

bool HasConnectedInterface() {
  const InterfaceList interfaces = ReadInterfaces();
  for (const ifaddrs* entry = interfaces.get(); entry != nullptr; entry = entry->ifa_next) {
    if (!IsLoopback(*entry) && IsUpAndRunning(*entry) && HasIpAddress(*entry)) {
      return true;
    }
  }
  return false;
}

} // namespace

std::optional<HardwareAddress> FirstAdapterAddress() {
  const InterfaceList interfaces = ReadInterfaces();
  // An adapter counts once it is up and has an IPv4 address, as a configured adapter would;
  // a device that is down or never got an address identifies nothing the network sees.
  std::set<std::string> configured;
  for (const ifaddrs* entry = interfaces.get(); entry != nullptr; entry = entry->ifa_next) {
    if (!IsLoopback(*entry) && (entry->ifa_flags & IFF_UP) != 0 && HasFamily(*entry, AF_INET)) {
      configured.insert(entry->ifa_name);
    }
  }
  for (const ifaddrs* entry = interfaces.get(); entry != nullptr; entry = entry->ifa_next) {
    if (configured.count(entry->ifa_name) == 0) {
      continue;
    }
    if (auto address = LinkLayerAddress(*entry)) {
      return address;
    }
  }
  return std::nullopt;
}

bool IsConnectedToNetwork() {
  if (const std::optional<bool> stated = StatedNetworkState())
    return *stated;
  return HasConnectedInterface();
}

} // namespace platform
