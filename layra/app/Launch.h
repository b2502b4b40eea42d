#pragma once
// What the headless program and the window program share around a session: the checks made
// before any start-up service runs, and the status a run ends with.

#include "CommandLine.h"
#include "ExitStatus.h"

#include <layra/host/Host.h>

#include <filesystem>
#include <memory>
#include <string>

namespace layra {

/** Writes "layra: MESSAGE" on standard error and returns kExitRefused. */
int Fail(const std::string& message);

/** The folder of this program's file. */
std::filesystem::path ProgramFolder();
/** --plugins, else the plug-in folder beside the program's own folder. */
std::filesystem::path PluginFolder(const CommandLine& line);

/** Writes the usage or the version when the command line asks for one; false otherwise. */
bool AnswerAlone(const CommandLine& line);

/** The host for a session with this command line, its plug-ins and workspace loaded (Host::Load)
 *  but no start-up service run, so that a mistyped name is reported before any download or
 *  alert; null, with why in one sentence on standard error, when the session must not start. */
std::unique_ptr<Host> PrepareHost(const CommandLine& line);

/** The status of a run that ended with `runStatus` and a shut-down that saved the workspace
 *  or not. */
int EndStatus(int runStatus, bool saved);

} // namespace layra
