#include "RunCommand.h"

#include "TempDir.h"
#include "WholeFile.h"

#include <cstdlib>
#include <sys/wait.h>

namespace folivox::test {

Ran RunCommand(const std::string& command) {
  TempDir folder;
  const auto err = folder.path() / "err";
  const auto out = folder.path() / "out";
  // The shell gives way to the command, so that a signal that ends it is seen here; it reads
  // nothing from the terminal the tests may run in.
  const int status = std::system(
      ("exec " + command + " >" + out.string() + " 2>" + err.string() + " </dev/null").c_str());
  return {ReadWholeFile(err), WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadWholeFile(out),
          WIFSIGNALED(status)};
}

} // namespace folivox::test
