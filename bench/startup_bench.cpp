// The cost of loading the plug-in: the layra program started and shut down with Folivox in its
// plug-in folder, against the same program with an empty plug-in folder, in pairs taken in
// turns (12 by default), each run in a fresh home and without a network (a network namespace
// of its own where `unshare -n` is allowed, else a proxy on a closed loopback port). Prints
// the medians, their ratio and the machine's load. Exits with 1 when the plug-in takes more
// than twice the empty host. Usage: startup_bench [pairs]

#include "MachineState.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

bool Isolated() {
  return std::system("unshare -n true 2>/dev/null") == 0;
}

struct Run {
  double seconds = -1;  // wall time; -1 when the start failed
  double processor = 0; // user and system time of the program
};

// One start and shut-down of the host, with its own home.
Run StartOnce(const fs::path& plugins, bool isolated) {
  char pattern[] = "/tmp/startup-bench-XXXXXX";
  if (!::mkdtemp(pattern))
    return {};
  const fs::path home = pattern;
  std::fflush(stdout);
  const auto start = Clock::now();
  const pid_t child = ::fork();
  if (child == 0) {
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (home / "cache").c_str(), 1);
    ::setenv("http_proxy", "http://127.0.0.1:9", 1);
    std::freopen("/dev/null", "w", stdout);
    std::freopen("/dev/null", "w", stderr);
    const std::string layraHome = (home / "layra").string();
    if (isolated)
      ::execlp("unshare", "unshare", "-n", LAYRA_PROGRAM, "--home", layraHome.c_str(), "--plugins",
               plugins.c_str(), "--answer", "first", nullptr);
    else
      ::execl(LAYRA_PROGRAM, LAYRA_PROGRAM, "--home", layraHome.c_str(), "--plugins",
              plugins.c_str(), "--answer", "first", nullptr);
    std::_Exit(127);
  }
  int status = 0;
  rusage usage{};
  ::wait4(child, &status, 0, &usage);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  const auto time = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
  std::error_code ignored;
  fs::remove_all(home, ignored);
  // The host exits with the number of alerts it answered; only a crash or a failed start
  // spoils the figure.
  if (!WIFEXITED(status) || WEXITSTATUS(status) == 127)
    return {};
  return {seconds, time(usage.ru_utime) + time(usage.ru_stime)};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
  const int pairs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 12;
  char pattern[] = "/tmp/startup-bench-empty-XXXXXX";
  if (!::mkdtemp(pattern))
    return 2;
  const fs::path empty = pattern;
  const bool isolated = Isolated();
  std::printf("load before: %s; %s\n", MachineLoad().c_str(),
              isolated ? "no network (own network namespace)"
                       : "network present: the proxy is a closed loopback port");
  StartOnce(empty, isolated); // the program and its libraries into the page cache
  StartOnce(FOLIVOX_PLUGIN_DIR, isolated);
  std::vector<double> bare, plugin, bareProcessor, pluginProcessor;
  bool valid = true;
  for (int i = 0; i < pairs; ++i) {
    // Each pair starts with the other side than the last one.
    for (int turn = 0; turn < 2; ++turn) {
      const bool withPlugin = (i + turn) % 2 == 0;
      const Run run = StartOnce(withPlugin ? fs::path(FOLIVOX_PLUGIN_DIR) : empty, isolated);
      valid = valid && run.seconds > 0;
      (withPlugin ? plugin : bare).push_back(run.seconds);
      (withPlugin ? pluginProcessor : bareProcessor).push_back(run.processor);
    }
  }
  fs::remove(empty);
  const double ratio = Median(plugin) / Median(bare);
  std::printf("start and shut down, median of %d: empty host %.1f ms, with Folivox %.1f ms; "
              "ratio %.2f (goal <= 2: %s)\n",
              pairs, Median(bare) * 1e3, Median(plugin) * 1e3, ratio,
              ratio <= 2 ? "met" : "MISSED");
  std::printf("processor time, median: empty host %.1f ms, with Folivox %.1f ms; ratio %.2f\n",
              Median(bareProcessor) * 1e3, Median(pluginProcessor) * 1e3,
              Median(pluginProcessor) / Median(bareProcessor));
  std::printf("load after: %s%s\n", MachineLoad().c_str(),
              valid ? "" : "\nthe figures are not valid: a start failed");
  return valid && ratio <= 2 ? 0 : 1;
}
