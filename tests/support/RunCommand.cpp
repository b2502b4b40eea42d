#include "RunCommand.h"

#include "TempDir.h"
#include "WholeFile.h"

#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace folivox::test {

Ran RunCommand(const std::string& command) {
  TempDir folder;
  const auto err = folder.path() / "err";
  const auto out = folder.path() / "out";
  // The shell gives way to the command, so that a signal that ends it is seen here; it reads
  // nothing from the terminal the tests may run in.
  const int status = std::system(
      ("exec " + command + " >" + out.string() + " 2>" + err.string() + " </dev/null").c_str());
  return {ReadWholeFile(err), WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadWholeFile(out),
          WIFSIGNALED(status)};
}

Ran RunOnTerminal(const std::string& command, const std::string& when,
                  const std::function<void(pid_t, int)>& then, std::chrono::seconds limit) {
  int terminal = -1;
  const pid_t child = ::forkpty(&terminal, nullptr, nullptr, nullptr);
  if (child == 0) {
    // exec: the program itself gets a Ctrl+C, not a shell in front of it.
    ::execl("/bin/sh", "sh", "-c", ("exec " + command).c_str(), nullptr);
    ::_exit(127);
  }
  Ran run;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  bool acted = when.empty();
  char buffer[4096];
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd said{terminal, POLLIN, 0};
    if (::poll(&said, 1, 100) <= 0)
      continue;
    const ssize_t n = ::read(terminal, buffer, sizeof buffer);
    if (n <= 0)
      break; // nothing has the terminal open any more
    run.err.append(buffer, static_cast<std::size_t>(n));
    if (!acted && run.err.find(when) != std::string::npos) {
      acted = true;
      then(child, terminal);
    }
  }
  int status = 0;
  while (::waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() >= deadline)
      ::kill(child, SIGKILL);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ::close(terminal);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.killed = WIFSIGNALED(status);
  return run;
}

} // namespace folivox::test
