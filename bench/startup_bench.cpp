// The cost of loading the plug-in: the layra program started and shut down with Folivox in its
// plug-in folder, against the same program with an empty plug-in folder, in pairs taken in
// turns (12 by default), each run in a fresh home and without a network (a network namespace
// of its own where `unshare -n` is allowed, else a proxy on a closed loopback port). Prints
// the medians, their ratio and the machine's load. Exits with 1 when the plug-in takes more
// than twice the empty host. Usage: startup_bench [pairs]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string Load() {
  double load[3] = {0, 0, 0};
  ::getloadavg(load, 3);
  char text[64];
  std::snprintf(text, sizeof text, "%.2f %.2f %.2f", load[0], load[1], load[2]);
  return text;
}

bool Isolated() {
  return std::system("unshare -n true 2>/dev/null") == 0;
}

// One start and shut-down of the host, with its own home; the seconds, or -1 on failure.
double StartOnce(const fs::path& plugins, bool isolated) {
  char pattern[] = "/tmp/startup-bench-XXXXXX";
  if (!::mkdtemp(pattern))
    return -1;
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
  ::waitpid(child, &status, 0);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::error_code ignored;
  fs::remove_all(home, ignored);
  // The host exits with the number of alerts it answered; only a crash or a failed start
  // spoils the figure.
  return WIFEXITED(status) && WEXITSTATUS(status) != 127 ? seconds : -1;
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
  std::printf("load before: %s; %s\n", Load().c_str(),
              isolated ? "no network (own network namespace)"
                       : "network present: the proxy is a closed loopback port");
  StartOnce(empty, isolated); // the program and its libraries into the page cache
  StartOnce(FOLIVOX_PLUGIN_DIR, isolated);
  std::vector<double> bare, plugin;
  bool valid = true;
  for (int i = 0; i < pairs; ++i) {
    // Each pair starts with the other side than the last one.
    for (int turn = 0; turn < 2; ++turn) {
      const bool withPlugin = (i + turn) % 2 == 0;
      const double seconds = StartOnce(withPlugin ? fs::path(FOLIVOX_PLUGIN_DIR) : empty, isolated);
      valid = valid && seconds > 0;
      (withPlugin ? plugin : bare).push_back(seconds);
    }
  }
  fs::remove(empty);
  const double ratio = Median(plugin) / Median(bare);
  std::printf("start and shut down, median of %d: empty host %.1f ms, with Folivox %.1f ms; "
              "ratio %.2f (goal <= 2: %s)\n",
              pairs, Median(bare) * 1e3, Median(plugin) * 1e3, ratio,
              ratio <= 2 ? "met" : "MISSED");
  std::printf("load after: %s%s\n", Load().c_str(),
              valid ? "" : "\nthe figures are not valid: a start failed");
  return valid && ratio <= 2 ? 0 : 1;
}
