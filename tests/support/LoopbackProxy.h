#pragma once

#include "HttpTestServer.h"
#include "ScopedVariable.h"

#include <memory>

namespace folivox::test {

// Keeps a process's HTTP requests on this machine: while it lives, every HTTP request for a
// name beyond loopback (the plug-in's update check) goes to a local server as its proxy,
// which records it and answers 404, so no name is ever looked up. Requests for 127.0.0.1 and
// localhost stay direct.
class LoopbackProxy {
public:
  testing::AssertionResult Start();
  HttpTestServer& server() { return fServer; }

private:
  HttpTestServer fServer;
  std::unique_ptr<ScopedVariable> fProxy;
  std::unique_ptr<ScopedVariable> fBypass;
};

// The proxy that every test program starts before its first test; null before then.
LoopbackProxy* TestProgramProxy();

} // namespace folivox::test
