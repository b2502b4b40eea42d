#pragma once
// Runs a program the way a script would, and keeps what it said.

#include <string>

namespace folivox::test {

/** What a program wrote on its standard error and output, and its exit status. */
struct Ran {
  std::string err;
  int status = -1;
  std::string out;
  /** Ended by a signal (a kill) instead of exiting. */
  bool killed = false;
};

/** Runs `command` (one program, with variables before it through env) in place of a shell,
 *  its standard output and error kept apart, its standard input empty. */
Ran RunCommand(const std::string& command);

} // namespace folivox::test
