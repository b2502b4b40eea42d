#include <platform/CHandles.h>
#include <platform/Network.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr std::size_t kHostNameBufferSize = 256;

using Ipv4Address = std::array<unsigned char, 4>;
using AddressList = CHandle<addrinfo, freeaddrinfo>;

AddressList ResolveIpv4(const std::string& name) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_flags = AI_CANONNAME;
  addrinfo* first = nullptr;
  if (getaddrinfo(name.c_str(), nullptr, &hints, &first) != 0) {
    first = nullptr;
  }
  return AddressList(first);
}

std::optional<Ipv4Address> Ipv4Of(const addrinfo& entry) {
  if (entry.ai_family != AF_INET || entry.ai_addr == nullptr ||
      entry.ai_addrlen < sizeof(sockaddr_in)) {
    return std::nullopt;
  }
  sockaddr_in socketAddress{};
  std::memcpy(&socketAddress, entry.ai_addr, sizeof socketAddress);
  Ipv4Address address{};
  std::memcpy(address.data(), &socketAddress.sin_addr, address.size());
  return address;
}

// The resolver repeats each address once per socket type (and the hosts file may list one
// twice); callers want each address once.
void AddUnique(std::vector<Ipv4Address>& addresses, const Ipv4Address& address) {
  if (std::find(addresses.begin(), addresses.end(), address) == addresses.end()) {
    addresses.push_back(address);
  }
}

} // namespace

std::string LocalHostName() {
  char buffer[kHostNameBufferSize] = {};
  // One byte held back so a name that fills the buffer still ends in a terminator.
  if (gethostname(buffer, sizeof buffer - 1) != 0) {
    return {};
  }
  return buffer;
}

std::optional<HostEntry> LookupHost(const std::string& name) {
  // A NUL would cut the name short and resolve a different host.
  if (name.empty() || name.find('\0') != std::string::npos) {
    return std::nullopt;
  }
  const AddressList results = ResolveIpv4(name);
  HostEntry host;
  for (const addrinfo* entry = results.get(); entry != nullptr; entry = entry->ai_next) {
    if (host.officialName.empty() && entry->ai_canonname != nullptr) {
      host.officialName = entry->ai_canonname;
    }
    if (auto address = Ipv4Of(*entry)) {
      AddUnique(host.ipv4, *address);
    }
  }
  if (host.ipv4.empty()) {
    return std::nullopt;
  }
  if (host.officialName.empty()) {
    host.officialName = name;
  }
  return host;
}

} // namespace platform
