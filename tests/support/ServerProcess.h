#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

namespace folivox::test {

// One of the Python test servers running as a child process. The script must print
// "PORT <n>" on stdout once it listens on 127.0.0.1:<n>, and exit on SIGTERM. The server is
// killed when the thread that started it ends, however it ends (a crash included), so start
// it from a thread that outlives it.
class ServerProcess {
public:
  ServerProcess() = default;
  ~ServerProcess() { Stop(); }
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  // Returns once the server accepts TCP connections, or fails (leaving nothing running)
  // when it does not announce its port within 10 s.
  testing::AssertionResult Start(const std::filesystem::path& script,
                                 const std::vector<std::string>& args);
  // SIGTERM, then SIGKILL if it is still there after 5 s. Harmless when not running.
  void Stop();

  bool running() const { return fPid > 0; }
  // -1 when not running.
  pid_t pid() const { return fPid; }
  // 0 when not running.
  int port() const { return fPort; }

private:
  testing::AssertionResult Spawn(const std::filesystem::path& script,
                                 const std::vector<std::string>& args, int stdoutFd);
  testing::AssertionResult ReadPort(int stdoutFd);

  pid_t fPid = -1;
  int fPort = 0;
};

} // namespace folivox::test
