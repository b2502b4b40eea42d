#include "Launch.h"

#include <layra/CAlert.h>
#include <layra/host/Alerts.h>
#include <layra/host/Progress.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace layra {
namespace {

std::string Hex(ActionID action) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", action.Get());
  return text;
}

// Why `file` cannot be read as a document or a workspace, or nothing.
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

std::string FilesProblem(const Host& host, const CommandLine& line) {
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
  return {};
}

// A host whose every plug-in failed would run, do nothing asked of it, and end as if it had.
// Each plug-in's own reason is reported already as it failed.
std::string PluginsProblem(const Host& host, const CommandLine& line) {
  const std::vector<LoadedPlugin>& plugins = host.Plugins();
  const bool anyLoaded = std::any_of(plugins.begin(), plugins.end(), [](const LoadedPlugin& p) {
    return p.state == PluginState::Loaded;
  });
  if (plugins.empty() || anyLoaded)
    return {};
  return "no plug-in of the " + std::to_string(plugins.size()) + " found in " +
         PluginFolder(line).string() + " could be loaded";
}

std::string StartProblem(Host& host, const CommandLine& line) {
  if (std::string problem = FilesProblem(host, line); !problem.empty())
    return problem;
  host.Load();
  if (std::string problem = PluginsProblem(host, line); !problem.empty())
    return problem;
  for (ActionID action : line.actions) {
    if (!host.IsActionKnown(action))
      return "unknown action " + Hex(action);
  }
  return {};
}

bool ErrorAlertRaised() {
  const std::vector<AlertRecord>& shown = Alerts::Instance().Log();
  return std::any_of(shown.begin(), shown.end(),
                     [](const AlertRecord& alert) { return alert.icon == kErrorIcon; });
}

bool SomeResultWas(TaskResult::Outcome outcome) {
  const std::vector<ResultRecord>& results = Results();
  return std::any_of(results.begin(), results.end(),
                     [outcome](const ResultRecord& result) { return result.outcome == outcome; });
}

} // namespace

int Fail(const std::string& message) {
  std::fprintf(stderr, "layra: %s\n", message.c_str());
  return kExitRefused;
}

std::filesystem::path ProgramFolder() {
  std::error_code error;
  return std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
}

std::filesystem::path PluginFolder(const CommandLine& line) {
  return line.plugins.value_or(ProgramFolder().parent_path() / "plugins");
}

bool AnswerAlone(const CommandLine& line) {
  if (!line.help && !line.version)
    return false;
  std::fputs(line.help ? Usage().c_str() : kVersion, stdout);
  return true;
}

std::unique_ptr<Host> PrepareHost(const CommandLine& line) {
  const std::filesystem::path plugins = PluginFolder(line);
  std::error_code missing;
  if (!std::filesystem::is_directory(plugins, missing)) {
    Fail("no plug-in folder " + plugins.string());
    return nullptr;
  }
  Result<std::unique_ptr<Host>> host = Host::Create(
      HostOptions{line.home.value_or(Host::DefaultHome()), {plugins}, line.locale, line.answer});
  if (!host) {
    Fail(host.error());
    return nullptr;
  }
  if (std::string problem = StartProblem(*host.value(), line); !problem.empty()) {
    Fail(problem);
    return nullptr;
  }
  return std::move(host).value();
}

int EndStatus(int runStatus, bool saved) {
  if (runStatus != kExitDone)
    return runStatus;
  if (!saved)
    return kExitWorkspaceNotSaved;
  if (ErrorAlertRaised() || SomeResultWas(TaskResult::kFailed))
    return kExitErrorAlert;
  if (SomeResultWas(TaskResult::kCancelled))
    return kExitCancelled;
  return SomeResultWas(TaskResult::kNothingDone) ? kExitNothingDone : kExitDone;
}

} // namespace layra
