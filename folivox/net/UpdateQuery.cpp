#include "net/UpdateQuery.h"

#include "base/MachineIdentity.h"
#include "base/PercentEncoding.h"
#include "net/HttpClient.h"

#include <platform/Network.h>

#include <array>
#include <cstdio>
#include <optional>

namespace {

constexpr std::size_t kQueryCapacity = 1024;
constexpr std::uint32_t kConnectTimeoutMs = 5000;

std::optional<platform::HostEntry> LookUpThisMachine() {
  const std::string name = platform::LocalHostName();
  if (name.empty()) {
    return std::nullopt;
  }
  return platform::LookupHost(name);
}

struct QueryValues {
  std::string appName;
  std::string domain;
  std::string version;
  std::string user;
  std::uint32_t build;
  std::string systemVersion;
  std::string address;
};

QueryValues CollectValues(const char* appName, const char* userName, const char* domain,
                          const char* versionText, const char* buildText,
                          const platform::HostEntry& host) {
  const std::string version = DottedVersion(versionText);
  const std::string_view domainText =
      domain[0] != '\0' ? std::string_view(domain) : std::string_view(host.officialName);
  return {PercentEncode(appName),
          PercentEncode(domainText),
          PercentEncode(version),
          PercentEncode(userName),
          GetBuildNumber(buildText, version),
          PercentEncode(GetWindowsVersionText()),
          PercentEncode(GetAdapterAddressText(host))};
}

// The query path, or nullopt when it exceeds 1 KB: only a runaway value makes it that long, and
// a request line so long is refused by many servers and proxies anyway.
std::optional<std::string> FormatQueryPath(const std::string& prefix, const QueryValues& values) {
  std::array<char, kQueryCapacity> path{};
  const int length = std::snprintf(
      path.data(), path.size(),
      "%sAPP_NAME=%s&DOMAIN=%s&APP_VER=%s&USER=%s&BUILD=%u&WINVER=%s&INTERNALIP=%s", prefix.c_str(),
      values.appName.c_str(), values.domain.c_str(), values.version.c_str(), values.user.c_str(),
      static_cast<unsigned>(values.build), values.systemVersion.c_str(), values.address.c_str());
  if (length < 0 || static_cast<std::size_t>(length) >= path.size())
    return std::nullopt;
  return std::string(path.data(), static_cast<std::size_t>(length));
}

} // namespace

std::string DottedVersion(std::string_view versionText) {
  std::string version;
  for (const char c : versionText) {
    if (c != ' ') {
      version += c == ',' ? '.' : c;
    }
  }
  return version;
}

bool QueryUpdateServer(const char* appName, const char* userName, const char* domain, char* out,
                       const char* versionText, const char* buildText, const UpdateServer& server,
                       const std::atomic<bool>* stop) {
  if (out == nullptr)
    return true;
  out[0] = '\0';
  if (appName == nullptr || userName == nullptr || domain == nullptr || versionText == nullptr ||
      buildText == nullptr)
    return true;
  if (!platform::IsConnectedToNetwork()) {
    return true;
  }
  const std::optional<platform::HostEntry> host = LookUpThisMachine();
  if (!host) {
    return true;
  }
  const std::optional<std::string> path = FormatQueryPath(
      server.pathPrefix, CollectValues(appName, userName, domain, versionText, buildText, *host));
  if (!path) {
    return true;
  }
  HttpGetText(server.host.c_str(), server.user.c_str(), server.password.c_str(), path->c_str(), out,
              kUpdateResponseCapacity, kConnectTimeoutMs, stop);
  return out[0] == '\0';
}
