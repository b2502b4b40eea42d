#pragma once
// Shared by the network tests: local servers, a proxy-free environment, captured output.

#include "../../unit/platform/ScopedEnvironment.h"
#include "../../unit/publish/CapturedOutput.h"

#include "HttpTestServer.h"
#include "net/UpdateServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

namespace nettest {

inline constexpr const char* kUser = "reader";
inline constexpr const char* kPassword = "s3cret";

inline std::string HostOf(const folivox::test::HttpTestServer& server) {
  return "127.0.0.1:" + std::to_string(server.port());
}

inline UpdateServer UpdateServerAt(const folivox::test::HttpTestServer& server) {
  return {HostOf(server), kUser, kPassword, "/check.php?"};
}

template <typename Condition>
bool WaitFor(Condition condition, std::chrono::seconds limit = std::chrono::seconds(10)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// Starts each test with a direct connection, whatever the proxy settings of whoever runs it.
class DirectConnectionTest : public testing::Test {
protected:
  ScopedVariable fProxy{"http_proxy", ""};
  ScopedVariable fUpperProxy{"HTTP_PROXY", nullptr};
  ScopedVariable fBypass{"no_proxy", nullptr};
  ScopedVariable fUpperBypass{"NO_PROXY", nullptr};
  ScopedVariable fAll{"all_proxy", nullptr};
  ScopedVariable fUpperAll{"ALL_PROXY", nullptr};
};

} // namespace nettest
