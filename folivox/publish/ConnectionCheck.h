#pragma once
// "Test connection": the configuration address and the FTP server it names, checked the way
// a send would use them, without changing anything. The configuration goes into a temporary
// file (the configuration file and its download copy stay as they are); the server is only
// logged in to, walked to its folder and left (no MKD, no STOR).

#include <cstdint>
#include <string>
#include <vector>

struct CheckStep {
  bool passed = false;
  /** What the step did, passwords masked: "Log in to ftp://folivox@127.0.0.1:2121". */
  std::string what;
  /** Why it failed and what to fix; empty when it passed. */
  std::string why;
  std::int64_t milliseconds = 0;
};

enum class Shown { kOnScreen, kInTrace };
/** Runs the steps in order and stops at the first that fails (or at a cancel, which fails the
 *  step it interrupted). Shows its progress with the host's task progress. Passwords read as
 *  bullets on screen, "***" in a trace. */
std::vector<CheckStep> CheckConnection(const std::string& configurationAddress, Shown shown);
/** "passed  Log in to ftp://folivox@host  0.1 s" or "FAILED  ...  0.1 s: why". */
std::string CheckLine(const CheckStep& step);
/** Every step's line, each ending in a line feed. */
std::string CheckText(const std::vector<CheckStep>& steps);
/** Whether every step passed. */
bool CheckPassed(const std::vector<CheckStep>& steps);
