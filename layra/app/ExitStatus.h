#pragma once
// How the layra programs, headless and with the window, end: one list, so that a script
// reads the same status from both and --help shows every one.

#include <utility>

namespace layra {

enum ExitStatus : int {
  kExitDone = 0,
  kExitWorkspaceNotSaved = 1,
  kExitRefused = 2,
  kExitErrorAlert = 3,
  kExitCancelled = 4,
  kExitNothingDone = 5,
};

/** What each status means, in the words of --help. */
inline constexpr std::pair<ExitStatus, const char*> kExitStatusMeanings[] = {
    {kExitDone, "done"},
    {kExitWorkspaceNotSaved, "the workspace could not be saved"},
    {kExitRefused, "the command line, a document, a steps file or the plug-in folder was\n"
                   "     refused, or a step or a save failed"},
    {kExitErrorAlert, "a plug-in raised an error alert, or a task failed (a send, a re-send)"},
    {kExitCancelled, "a task was cancelled (Ctrl+C)"},
    {kExitNothingDone, "an operation asked for did nothing (a send that sent no file)"},
};

} // namespace layra
