#pragma once
// Runs a program the way a script would, and keeps what it said.

#include <chrono>
#include <functional>
#include <string>
#include <sys/types.h>

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

/** Runs `command` as RunCommand does, but on a new pseudo-terminal: its controlling terminal,
 *  and its standard input, output and error but for those the command redirects. `err` is
 *  what it wrote there. Once that holds `when`, `then` is called, once, with the program and
 *  the terminal's end to type into. A program still running after `limit` is killed. */
Ran RunOnTerminal(const std::string& command, const std::string& when = {},
                  const std::function<void(pid_t program, int terminal)>& then = {},
                  std::chrono::seconds limit = std::chrono::seconds(120));

} // namespace folivox::test
