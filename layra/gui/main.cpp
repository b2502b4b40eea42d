// The `layra-gui` program (also `layra --gui`): the host with its window. It takes the
// layra program's options, shows the documents and the palettes, performs the actions and
// the steps, and then either writes the screenshots asked for and quits, or runs until the
// window is closed.

#include "../app/CommandLine.h"
#include "Desktop.h"
#include "Look.h"

#include <layra/host/Automation.h>
#include <layra/host/Host.h>

#include <QApplication>

#include <cstdio>
#include <fstream>
#include <iostream>

namespace {

int Fail(const std::string& message) {
  std::fprintf(stderr, "layra: %s\n", message.c_str());
  return 2;
}

std::filesystem::path DefaultPluginFolder() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return self.parent_path().parent_path() / "plugins";
}

int RunSteps(layra::gui::Desktop& window, const std::filesystem::path& file) {
  std::ifstream steps(file);
  if (!steps)
    return Fail("cannot read the steps file " + file.string());
  std::string error;
  bool done = false;
  window.RunBusy([&] { done = layra::RunSteps(steps, file.string(), std::cout, error); });
  std::cout.flush();
  return done ? 0 : Fail(error);
}

int Screenshots(layra::gui::Desktop& window, const std::vector<std::string>& shots) {
  for (const std::string& shot : shots) {
    const auto equals = shot.find('=');
    const QString palette =
        equals == std::string::npos ? QString() : QString::fromStdString(shot.substr(0, equals));
    const std::string file = equals == std::string::npos ? shot : shot.substr(equals + 1);
    std::string error;
    if (!window.Screenshot(file, palette, &error))
      return Fail(error);
  }
  return 0;
}

int Run(layra::Host& host, const layra::CommandLine& line) {
  for (ActionID action : line.actions) {
    if (!host.IsActionKnown(action))
      return Fail(QString::asprintf("unknown action 0x%X", action.Get()).toStdString());
  }
  layra::gui::Desktop window(host);
  for (const std::filesystem::path& file : line.documents) {
    std::string error;
    if (!window.OpenFile(file, &error))
      return Fail("cannot open " + error);
  }
  window.show();
  for (ActionID action : line.actions)
    window.RunBusy([&] { host.PerformAction(action); });
  int status = line.steps ? RunSteps(window, *line.steps) : 0;
  if (status == 0 && !line.screenshots.empty())
    status = Screenshots(window, line.screenshots);
  else if (status == 0)
    QApplication::exec();
  // Those the person closed in the window are saved or given up already.
  for (const UIDRef& document : window.Documents()) {
    std::string error;
    if (status == 0 && line.save && !host.SaveDocument(document, &error))
      status = Fail("cannot save: " + error);
  }
  return status;
}

} // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  layra::gui::ApplyLook(application);
  layra::CommandLine line;
  std::string error;
  std::vector<std::string> arguments;
  for (const QString& argument : QApplication::arguments().mid(1))
    arguments.push_back(argument.toStdString());
  if (!layra::ParseCommandLine(arguments, line, error))
    return Fail(error + "\n" + layra::kUsage);
  if (line.help || line.newDocument) {
    std::fputs(layra::kUsage, stdout);
    return line.help ? 0 : 2;
  }
  const std::filesystem::path plugins = line.plugins.value_or(DefaultPluginFolder());
  std::error_code missing;
  if (!std::filesystem::is_directory(plugins, missing))
    return Fail("no plug-in folder " + plugins.string());
  layra::Host host(
      {line.home.value_or(layra::Host::DefaultHome()), {plugins}, line.locale, line.answer});
  host.Start();
  const int status = Run(host, line);
  std::fflush(stdout);
  const bool saved = host.Shutdown();
  return status != 0 ? status : saved ? 0 : 1;
}
