// The `layra-gui` program (also `layra --gui`): the host with its window. It takes the
// layra program's options, shows the documents and the palettes, performs the actions and
// the steps, and then either writes the screenshots asked for and quits, or runs until the
// window is closed.

#include "../app/CommandLine.h"
#include "../app/Launch.h"
#include "Desktop.h"
#include "Look.h"

#include <layra/host/Automation.h>
#include <layra/host/Host.h>

#include <QApplication>

#include <cstdio>
#include <fstream>
#include <iostream>

namespace {

using layra::Fail;

int RunSteps(layra::gui::Desktop& window, const std::filesystem::path& file) {
  std::ifstream steps(file);
  if (!steps)
    return Fail("cannot read the steps file " + file.string());
  layra::Result<void> done;
  window.RunBusy([&] { done = layra::RunSteps(steps, file.string(), std::cout); });
  std::cout.flush();
  return done ? layra::kExitDone : Fail(done.error());
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
  return layra::kExitDone;
}

void ShowAlertsInBoxes() {
  layra::Alerts::Instance().SetPresenter(
      [](const layra::AlertRecord& alert) { return layra::gui::PresentAlert(alert, nullptr); });
}

int Run(layra::Host& host, const layra::CommandLine& line) {
  layra::gui::Desktop window(host);
  // The window comes first: what the start-up asks (a first run's questions, say) is asked
  // over it, not in boxes of their own before anything is on screen.
  window.show();
  QCoreApplication::processEvents();
  window.RunBusy([&] { host.Start(); });
  for (const std::filesystem::path& file : line.documents) {
    std::string error;
    if (!window.OpenFile(file, &error))
      return Fail(error);
  }
  for (ActionID action : line.actions)
    window.RunBusy([&] { static_cast<void>(host.PerformAction(action)); });
  int status = line.steps ? RunSteps(window, *line.steps) : layra::kExitDone;
  if (status == layra::kExitDone && !line.screenshots.empty())
    status = Screenshots(window, line.screenshots);
  else if (status == layra::kExitDone)
    QApplication::exec();
  // Those the person closed in the window are saved or given up already.
  for (const UIDRef& document : window.Documents()) {
    if (status != layra::kExitDone || !line.save)
      continue;
    if (const layra::Result<void> saved = host.SaveDocument(document); !saved)
      status = Fail("cannot save: " + saved.error());
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
    return Fail(error + " (layra --help shows the usage)");
  if (layra::AnswerAlone(line))
    return layra::kExitDone;
  if (line.newDocument)
    return Fail("layra new writes a file and shows no window");
  // What the plug-ins ask while shutting down, with no window on screen, is asked in message
  // boxes of their own; a run that only takes pictures asks nobody, neither in a box nor on
  // the terminal it was started from.
  const bool person = line.screenshots.empty();
  if (!person && line.answer == layra::AlertAnswer::Interactive)
    line.answer = layra::AlertAnswer::Default;
  const std::unique_ptr<layra::Host> host = layra::PrepareHost(line);
  if (!host)
    return layra::kExitRefused;
  const int status = Run(*host, line);
  std::fflush(stdout);
  if (person)
    ShowAlertsInBoxes();
  const bool saved = host->Shutdown().ok();
  layra::Alerts::Instance().SetPresenter(nullptr);
  return layra::EndStatus(status, saved);
}
