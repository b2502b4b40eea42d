// The `layra` program: starts the host with its plug-ins, performs the
// requested actions, and shuts down.

#include "CommandLine.h"

#include <layra/host/Host.h>

#include <cstdio>
#include <unistd.h>

namespace {

std::filesystem::path DefaultPluginFolder() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return self.parent_path().parent_path() / "plugins";
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "layra: %s\n", message.c_str());
  return 2;
}

} // namespace

int main(int argc, char** argv) {
  layra::CommandLine line;
  std::string error;
  if (!layra::ParseCommandLine({argv + 1, argv + argc}, line, error))
    return Fail(error + "\n" + layra::kUsage);
  if (line.help) {
    std::fputs(layra::kUsage, stdout);
    return 0;
  }
  const std::filesystem::path plugins = line.plugins.value_or(DefaultPluginFolder());
  std::error_code missing;
  if (!std::filesystem::is_directory(plugins, missing))
    return Fail("no plug-in folder " + plugins.string());
  if (line.answer == layra::AlertAnswer::Interactive && !::isatty(STDIN_FILENO))
    line.answer = layra::AlertAnswer::Default;

  layra::Host host(
      {line.home.value_or(layra::Host::DefaultHome()), {plugins}, line.locale, line.answer});
  host.Start();
  for (ActionID action : line.actions) {
    if (!host.IsActionKnown(action)) {
      host.Shutdown();
      return Fail("unknown action 0x" + [&] {
        char text[16];
        std::snprintf(text, sizeof text, "%X", action.Get());
        return std::string(text);
      }());
    }
    host.PerformAction(action);
  }
  std::fflush(stdout);
  return host.Shutdown() ? 0 : 1;
}
