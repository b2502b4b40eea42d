#pragma once
// Running the layra program as a person or a script does, from a test.

#include "PublishingSetup.h"
#include "TempDir.h"
#include "WholeFile.h"

#include <cstdlib>
#include <string>
#include <sys/wait.h>

namespace folivox::test {

/** What a run of the layra program said on its standard error and output, and how it ended. */
struct Ran {
  std::string err;
  int status = -1;
  std::string out;
  /** Ended by a signal (a kill) instead of exiting. */
  bool killed = false;
};

/** The layra program on the setup's home and plug-ins, answering every alert with its first
 *  button. */
inline std::string Layra(PublishingSetup& setup) {
  return std::string(LAYRA_PROGRAM) + " --home " + (setup.home().configDir() / "layra").string() +
         " --plugins " FOLIVOX_PLUGIN_DIR " --answer first";
}

/** Runs `arguments` (a command line; variables may go before it) in place of a shell. */
inline Ran RunLayra(const std::string& arguments) {
  TempDir folder;
  const auto err = folder.path() / "err";
  const auto out = folder.path() / "out";
  const int status = std::system(
      ("exec " + arguments + " >" + out.string() + " 2>" + err.string() + " </dev/null").c_str());
  return {ReadWholeFile(err), WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadWholeFile(out),
          WIFSIGNALED(status)};
}

} // namespace folivox::test
