// The `layra` program: starts the host with its plug-ins, opens documents,
// performs the requested actions, saves and closes, and shuts down.

#include "CommandLine.h"

#include <layra/CAlert.h>
#include <layra/host/Alerts.h>
#include <layra/host/Automation.h>
#include <layra/host/Host.h>
#include <layra/host/Progress.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <unistd.h>

namespace {

// The folder of this program's file.
std::filesystem::path ProgramFolder() {
  std::error_code error;
  return std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
}

std::filesystem::path DefaultPluginFolder() {
  return ProgramFolder().parent_path() / "plugins";
}

// Exit statuses besides 0: 1 the workspace could not be saved, 2 the command line or a
// document was refused, 3 a plug-in raised an error alert during the run, 4 a task was
// cancelled (Ctrl+C), 5 an operation asked for did nothing (a send that sent no file).
constexpr int kErrorAlertRaised = 3;
constexpr int kTaskCancelled = 4;
constexpr int kNothingDone = 5;

bool ErrorAlertRaised() {
  const std::vector<layra::AlertRecord>& shown = layra::Alerts::Instance().Log();
  return std::any_of(shown.begin(), shown.end(),
                     [](const layra::AlertRecord& alert) { return alert.icon == kErrorIcon; });
}

bool SomeResultWas(TaskResult::Outcome outcome) {
  const std::vector<layra::ResultRecord>& results = layra::Results();
  return std::any_of(results.begin(), results.end(), [outcome](const layra::ResultRecord& result) {
    return result.outcome == outcome;
  });
}

int RunStatus() {
  if (ErrorAlertRaised())
    return kErrorAlertRaised;
  if (SomeResultWas(TaskResult::kCancelled))
    return kTaskCancelled;
  return SomeResultWas(TaskResult::kNothingDone) ? kNothingDone : 0;
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
  std::error_code error;
  if (!line.force &&
      std::filesystem::exists(std::filesystem::symlink_status(*line.newDocument, error)))
    return Fail(line.newDocument->string() + " already exists; give --force to replace it");
  layra::Host host(layra::HostOptions{});
  const UIDRef document = host.NewDocument(line.pages, line.width, line.height);
  std::string reason;
  if (!host.SaveDocumentAs(document, *line.newDocument, &reason))
    return Fail("cannot write " + line.newDocument->string() + ": " + reason);
  return 0;
}

// Why `file` cannot be read as a document or a workspace, or nothing; asked before start-up so
// that a mistyped name is reported before any download or alert.
std::string FileProblem(const std::filesystem::path& file) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(file, error);
  if (error)
    return "cannot open " + file.string() + ": " + error.message();
  if (std::filesystem::is_directory(status))
    return file.string() + " is a folder, not a file";
  if (!std::filesystem::is_regular_file(status))
    return file.string() + " is not a regular file";
  if (::access(file.c_str(), R_OK) != 0)
    return "cannot read " + file.string() + ": " + std::strerror(errno);
  return {};
}

std::string ArgumentProblem(layra::Host& host, const layra::CommandLine& line) {
  std::error_code missing;
  if (std::filesystem::exists(std::filesystem::symlink_status(host.WorkspaceFile(), missing))) {
    if (std::string problem = FileProblem(host.WorkspaceFile()); !problem.empty())
      return "the workspace " + problem;
  }
  for (const std::filesystem::path& file : line.documents) {
    if (std::string problem = FileProblem(file); !problem.empty())
      return problem;
  }
  if (line.steps) {
    if (std::string problem = FileProblem(*line.steps); !problem.empty())
      return "the steps file " + problem;
  }
  host.Load();
  for (ActionID action : line.actions) {
    if (!host.IsActionKnown(action))
      return "unknown action " + Hex(action);
  }
  return {};
}

int Run(layra::Host& host, const layra::CommandLine& line) {
  std::vector<UIDRef> documents;
  for (const std::filesystem::path& file : line.documents) {
    std::string error;
    const UIDRef document = host.OpenDocument(file, &error);
    if (!document.IsValid())
      return Fail(error);
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

// The plug-ins that keep a history answer the script request "history"; nothing is started,
// downloaded or shown for it.
int ShowHistory(layra::Host& host, int count) {
  std::istringstream step("script history \"" + std::to_string(count) + "\"");
  std::string error;
  const bool shown = layra::RunSteps(step, "--history", std::cout, error);
  std::cout.flush();
  layra::SetProgressPresenter(nullptr);
  host.Shutdown();
  return shown ? 0 : Fail(error.substr(error.find(": ") + 2));
}

} // namespace

int main(int argc, char** argv) {
  layra::CommandLine line;
  std::string error;
  if (!layra::ParseCommandLine({argv + 1, argv + argc}, line, error))
    return Fail(error + " (layra --help shows the usage)");
  if (line.help) {
    std::fputs(layra::kUsage, stdout);
    return 0;
  }
  if (line.newDocument)
    return WriteNewDocument(line);
  if (line.gui) {
    // The window lives in its own program, so that this one never loads Qt.
    const std::filesystem::path window = ProgramFolder() / "layra-gui";
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
  if (const std::string problem = ArgumentProblem(host, line); !problem.empty())
    return Fail(problem);
  // Progress on a terminal only, so that what scripts read stays as it is; results always.
  layra::TerminalProgress progress(stderr, ::isatty(STDERR_FILENO) != 0);
  layra::SetProgressPresenter(&progress);
  if (line.history)
    return ShowHistory(host, *line.history);
  host.Start();
  const int status = Run(host, line);
  std::fflush(stdout);
  const bool saved = host.Shutdown();
  layra::SetProgressPresenter(nullptr);
  if (status != 0)
    return status;
  if (!saved)
    return 1;
  return RunStatus();
}
