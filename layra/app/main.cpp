// The `layra` program: starts the host with its plug-ins, opens documents,
// performs the requested actions, saves and closes, and shuts down.

#include "CommandLine.h"
#include "Launch.h"

#include <layra/host/Alerts.h>
#include <layra/host/Automation.h>
#include <layra/host/Host.h>
#include <layra/host/Progress.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <unistd.h>

namespace {

using layra::Fail;

int WriteNewDocument(const layra::CommandLine& line) {
  std::error_code error;
  if (!line.force &&
      std::filesystem::exists(std::filesystem::symlink_status(*line.newDocument, error)))
    return Fail(line.newDocument->string() + " already exists; give --force to replace it");
  const layra::Result<std::unique_ptr<layra::Host>> made = layra::Host::Create({});
  if (!made)
    return Fail(made.error());
  layra::Host& host = *made.value();
  const UIDRef document = host.NewDocument(line.pages, line.width, line.height);
  if (const layra::Result<void> saved = host.SaveDocumentAs(document, *line.newDocument); !saved)
    return Fail("cannot write " + line.newDocument->string() + ": " + saved.error());
  return layra::kExitDone;
}

int Run(layra::Host& host, const layra::CommandLine& line) {
  std::vector<UIDRef> documents;
  for (const std::filesystem::path& file : line.documents) {
    const layra::Result<UIDRef> document = host.OpenDocument(file);
    if (!document)
      return Fail(document.error());
    documents.push_back(document.value());
  }
  // Each action was found declared before start-up; what its plug-in does is its own to report.
  for (ActionID action : line.actions)
    static_cast<void>(host.PerformAction(action));
  int status = layra::kExitDone;
  if (line.steps) {
    std::ifstream steps(*line.steps);
    if (!steps)
      status = Fail("cannot read the steps file " + line.steps->string());
    else if (const layra::Result<void> done =
                 layra::RunSteps(steps, line.steps->string(), std::cout);
             !done)
      status = Fail(done.error());
    std::cout.flush();
  }
  for (const UIDRef& document : documents) {
    if (status == layra::kExitDone && line.save) {
      if (const layra::Result<void> saved = host.SaveDocument(document); !saved)
        status = Fail("cannot save: " + saved.error());
    }
    host.CloseDocument(document);
  }
  return status;
}

// A plug-in's own request: "history N" of the plug-ins that keep a history, "resend",
// "check-connection". The session is not started for it: nothing is downloaded or shown but
// what the request itself does.
int RunRequest(layra::Host& host, const std::string& request, const std::string& option) {
  std::istringstream step("script " + request);
  std::ostringstream answer;
  const layra::Result<void> done = layra::RunSteps(step, option, answer);
  std::cout << answer.str() << std::flush;
  layra::SetProgressPresenter(nullptr);
  const bool saved = host.Shutdown().ok();
  if (done)
    return layra::EndStatus(layra::kExitDone, saved);
  // A plug-in that answered has said why its request failed; a line of ours would repeat it.
  if (!answer.str().empty())
    return layra::kExitRefused;
  return Fail(done.error().substr(done.error().find(": ") + 2));
}

} // namespace

int main(int argc, char** argv) {
  layra::CommandLine line;
  std::string error;
  if (!layra::ParseCommandLine({argv + 1, argv + argc}, line, error))
    return Fail(error + " (layra --help shows the usage)");
  if (layra::AnswerAlone(line))
    return layra::kExitDone;
  if (line.newDocument)
    return WriteNewDocument(line);
  if (line.gui) {
    // The window lives in its own program, so that this one never loads Qt.
    const std::filesystem::path window = layra::ProgramFolder() / "layra-gui";
    ::execv(window.c_str(), argv);
    return Fail("cannot start " + window.string() + ": " + std::strerror(errno));
  }
  const std::unique_ptr<layra::Host> host = layra::PrepareHost(line);
  if (!host)
    return layra::kExitRefused;
  // Progress on a terminal only, so that what scripts read stays as it is; results always.
  layra::TerminalProgress progress(stderr, ::isatty(STDERR_FILENO) != 0);
  layra::SetProgressPresenter(&progress);
  if (line.history)
    return RunRequest(*host, "history \"" + std::to_string(*line.history) + "\"", "--history");
  if (line.request)
    return RunRequest(*host, *line.request, "--" + *line.request);
  host->Start();
  const int status = Run(*host, line);
  std::fflush(stdout);
  const bool saved = host->Shutdown().ok();
  layra::SetProgressPresenter(nullptr);
  return layra::EndStatus(status, saved);
}
