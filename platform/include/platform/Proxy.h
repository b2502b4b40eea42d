#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The user's HTTP proxy configuration. Each *Read flag says whether that value could be
// read; a value too long for its fixed-size buffer counts as unread rather than being cut,
// because a truncated proxy address or bypass list would silently send traffic elsewhere.
struct ProxySettings {
  bool serverRead = false;
  std::string server;
  bool overrideRead = false;
  std::string bypass;
  bool enableRead = false;
  uint32_t enable = 0;
};

// Takes the settings from http_proxy / no_proxy (or their upper-case spellings). An unset
// bypass list is an empty one; the proxy is enabled exactly when a non-empty server was read.
ProxySettings ReadProxySettings();

} // namespace platform
