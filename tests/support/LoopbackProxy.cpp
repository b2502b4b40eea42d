#include "LoopbackProxy.h"

namespace folivox::test {

testing::AssertionResult LoopbackProxy::Start() {
  if (auto started = fServer.Start(); !started)
    return started;
  const std::string address = fServer.url("");
  fProxy = std::make_unique<ScopedVariable>("http_proxy", address.c_str());
  fBypass = std::make_unique<ScopedVariable>("no_proxy", "127.0.0.1,localhost");
  return testing::AssertionSuccess();
}

} // namespace folivox::test
