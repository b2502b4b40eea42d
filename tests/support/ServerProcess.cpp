#include "ServerProcess.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <string_view>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace folivox::test {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kPython = "/usr/bin/python3";
constexpr auto kAnnounceTimeout = std::chrono::seconds(10);
constexpr auto kConnectTimeout = std::chrono::seconds(5);
constexpr auto kTermTimeout = std::chrono::seconds(5);
constexpr auto kPollStep = std::chrono::milliseconds(10);

class UniqueFd {
public:
  explicit UniqueFd(int fd = -1) : fFd(fd) {}
  ~UniqueFd() { Reset(); }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int get() const { return fFd; }
  void Reset() {
    if (fFd >= 0) {
      close(fFd);
    }
    fFd = -1;
  }

private:
  int fFd;
};

int MillisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

bool Connects(int port) {
  UniqueFd socketFd(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (socketFd.get() < 0) {
    return false;
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return connect(socketFd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

bool WaitForConnect(int port) {
  const auto deadline = Clock::now() + kConnectTimeout;
  while (!Connects(port)) {
    if (Clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(kPollStep);
  }
  return true;
}

// Parses "PORT <n>"; 0 when the line is anything else.
int ParsePortLine(const std::string& line) {
  constexpr std::string_view prefix = "PORT ";
  if (line.rfind(prefix, 0) != 0) {
    return 0;
  }
  const std::string digits = line.substr(prefix.size());
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos ||
      digits.size() > 5) {
    return 0;
  }
  const int port = std::stoi(digits);
  return port <= 65535 ? port : 0;
}

// Collects the child's status when it has exited; true then.
bool Reaped(pid_t pid, bool wait) {
  int status = 0;
  pid_t result;
  do {
    result = waitpid(pid, &status, wait ? 0 : WNOHANG);
  } while (result < 0 && errno == EINTR);
  return result != 0;
}

} // namespace

testing::AssertionResult ServerProcess::Start(const std::filesystem::path& script,
                                              const std::vector<std::string>& args) {
  if (running()) {
    return testing::AssertionFailure() << "server " << script << " is already running";
  }
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    return testing::AssertionFailure() << "pipe2 failed: " << std::strerror(errno);
  }
  UniqueFd readEnd(fds[0]);
  UniqueFd writeEnd(fds[1]);
  if (auto spawned = Spawn(script, args, writeEnd.get()); !spawned) {
    return spawned;
  }
  // Only the child may hold the write end, or end-of-file would never arrive if it dies.
  writeEnd.Reset();
  if (auto announced = ReadPort(readEnd.get()); !announced) {
    Stop();
    return announced << " (server " << script << ")";
  }
  if (!WaitForConnect(fPort)) {
    const int port = fPort;
    Stop();
    return testing::AssertionFailure()
           << "server " << script << " announced port " << port << " but refuses connections";
  }
  return testing::AssertionSuccess();
}

testing::AssertionResult ServerProcess::Spawn(const std::filesystem::path& script,
                                              const std::vector<std::string>& args, int stdoutFd) {
  UniqueFd devNull(open("/dev/null", O_RDONLY | O_CLOEXEC));
  if (devNull.get() < 0) {
    return testing::AssertionFailure() << "cannot open /dev/null: " << std::strerror(errno);
  }
  std::vector<std::string> words{kPython, script.string()};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) {
    argv.push_back(word.data());
  }
  argv.push_back(nullptr);

  const pid_t parent = getpid();
  fPid = fork();
  if (fPid < 0) {
    fPid = -1;
    return testing::AssertionFailure()
           << "cannot start " << kPython << ": " << std::strerror(errno);
  }
  if (fPid == 0) {
    // A test program that crashes runs no destructor, and a server it leaves behind holds the
    // test runner's output pipe open: the kernel kills the server when its starter ends. A
    // starter that ended before the request was made is caught by the parent check.
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent ||
        dup2(devNull.get(), STDIN_FILENO) < 0 || dup2(stdoutFd, STDOUT_FILENO) < 0) {
      _exit(127);
    }
    execv(kPython, argv.data());
    _exit(127);
  }
  return testing::AssertionSuccess();
}

testing::AssertionResult ServerProcess::ReadPort(int stdoutFd) {
  const auto deadline = Clock::now() + kAnnounceTimeout;
  std::string output;
  while (output.find('\n') == std::string::npos) {
    pollfd waiting{stdoutFd, POLLIN, 0};
    const int ready = poll(&waiting, 1, MillisecondsUntil(deadline));
    if (ready < 0 && errno == EINTR) {
      continue;
    }
    if (ready == 0) {
      return testing::AssertionFailure() << "no PORT line within 10 s";
    }
    char buffer[256];
    const ssize_t count = read(stdoutFd, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) {
      continue;
    }
    if (count <= 0) {
      return testing::AssertionFailure() << "exited before announcing its port";
    }
    output.append(buffer, static_cast<size_t>(count));
  }
  fPort = ParsePortLine(output.substr(0, output.find('\n')));
  if (fPort == 0) {
    return testing::AssertionFailure() << "announced \"" << output << "\" instead of a port";
  }
  return testing::AssertionSuccess();
}

void ServerProcess::Stop() {
  if (!running()) {
    return;
  }
  kill(fPid, SIGTERM);
  const auto deadline = Clock::now() + kTermTimeout;
  bool reaped = Reaped(fPid, false);
  while (!reaped && Clock::now() < deadline) {
    std::this_thread::sleep_for(kPollStep);
    reaped = Reaped(fPid, false);
  }
  if (!reaped) {
    kill(fPid, SIGKILL);
    Reaped(fPid, true);
  }
  fPid = -1;
  fPort = 0;
}

} // namespace folivox::test
