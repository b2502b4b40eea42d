// The `layra` program: starts the host with its plug-ins, opens documents,
// performs the requested actions, saves and closes, and shuts down.

#include "CommandLine.h"

#include <layra/host/Automation.h>
#include <layra/host/Host.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
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

std::string Hex(ActionID action) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", action.Get());
  return text;
}

int WriteNewDocument(const layra::CommandLine& line) {
  layra::Host host(layra::HostOptions{});
  const UIDRef document = host.NewDocument(line.pages, line.width, line.height);
  std::string error;
  if (!host.SaveDocumentAs(document, *line.newDocument, &error))
    return Fail("cannot write " + line.newDocument->string() + ": " + error);
  return 0;
}

int Run(layra::Host& host, const layra::CommandLine& line) {
  for (ActionID action : line.actions) {
    if (!host.IsActionKnown(action))
      return Fail("unknown action " + Hex(action));
  }
  std::vector<UIDRef> documents;
  for (const std::filesystem::path& file : line.documents) {
    std::string error;
    const UIDRef document = host.OpenDocument(file, &error);
    if (!document.IsValid())
      return Fail("cannot open " + error);
    documents.push_back(document);
  }
  for (ActionID action : line.actions)
    host.PerformAction(action);
  int status = 0;
  if (line.steps) {
    std::ifstream steps(*line.steps);
    std::string error;
    if (!steps)
      status = Fail("cannot read the steps file " + line.steps->string());
    else if (!layra::RunSteps(steps, line.steps->string(), std::cout, error))
      status = Fail(error);
    std::cout.flush();
  }
  for (const UIDRef& document : documents) {
    std::string error;
    if (status == 0 && line.save && !host.SaveDocument(document, &error))
      status = Fail("cannot save: " + error);
    host.CloseDocument(document);
  }
  return status;
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
  if (line.newDocument)
    return WriteNewDocument(line);
  if (line.gui) {
    // The window lives in its own program, so that this one never loads Qt.
    std::error_code unknown;
    const auto window =
        std::filesystem::read_symlink("/proc/self/exe", unknown).parent_path() / "layra-gui";
    ::execv(window.c_str(), argv);
    return Fail("cannot start " + window.string() + ": " + std::strerror(errno));
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
  const int status = Run(host, line);
  std::fflush(stdout);
  const bool saved = host.Shutdown();
  return status != 0 ? status : saved ? 0 : 1;
}
