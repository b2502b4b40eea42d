// Linked into every test program: nothing a test starts sends a request beyond loopback.

#include "LoopbackProxy.h"
#include "ScopedVariable.h"

#include <gtest/gtest.h>

namespace folivox::test {
namespace {

LoopbackProxy* gProxy = nullptr;

class LoopbackOnly : public testing::Environment {
public:
  void SetUp() override {
    ASSERT_TRUE(fProxy.Start());
    gProxy = &fProxy;
  }
  void TearDown() override {
    gProxy = nullptr;
    fProxy.server().Stop();
  }

private:
  LoopbackProxy fProxy;
  // The code that asks whether the machine is online runs whatever networks the machine has,
  // loopback alone included; what it sends goes to the proxy.
  ScopedVariable fOnline{"PLATFORM_NETWORK", "online"};
};

const testing::Environment* const gRegistered = testing::AddGlobalTestEnvironment(new LoopbackOnly);

} // namespace

LoopbackProxy* TestProgramProxy() {
  return gProxy;
}

} // namespace folivox::test
