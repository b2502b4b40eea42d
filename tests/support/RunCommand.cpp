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
  const int status = std::system((command + " >" + out.string() + " 2>" + err.string()).c_str());
  return {ReadWholeFile(err), WEXITSTATUS(status), ReadWholeFile(out)};
}

} // namespace folivox::test
