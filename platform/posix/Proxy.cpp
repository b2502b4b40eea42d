#include <platform/Proxy.h>

#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

constexpr std::size_t kValueBufferSize = 1024;

// Tools disagree on the spelling; the lower-case one is the more widely honoured, so it
// wins whenever it is set, even to an empty value that switches the proxy off.
const char* FindVariable(const char* lowerCase, const char* upperCase) {
  const char* value = std::getenv(lowerCase);
  return value != nullptr ? value : std::getenv(upperCase);
}

// The value and its terminator must fit the buffer.
bool FitsBuffer(const char* value) {
  return strnlen(value, kValueBufferSize) < kValueBufferSize;
}

} // namespace

ProxySettings ReadProxySettings() {
  ProxySettings settings;
  const char* server = FindVariable("http_proxy", "HTTP_PROXY");
  settings.serverRead = server != nullptr && FitsBuffer(server);
  if (settings.serverRead) {
    settings.server = server;
  }
  const char* bypass = FindVariable("no_proxy", "NO_PROXY");
  settings.overrideRead = bypass == nullptr || FitsBuffer(bypass);
  if (bypass != nullptr && settings.overrideRead) {
    settings.bypass = bypass;
  }
  settings.enableRead = true;
  settings.enable = settings.server.empty() ? 0 : 1;
  return settings;
}

} // namespace platform
