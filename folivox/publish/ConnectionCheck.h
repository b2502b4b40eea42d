#pragma once
// "Test connection": the configuration address and the FTP server it names, checked the way
// a send would use them, without changing anything. The configuration is read in memory (the
// configuration file and its download copy stay as they are, and a killed check leaves no
// file behind); the server is only logged in to, walked to its folder and left (no MKD, no
// STOR). A folder that is not there yet passes when the nearest folder above it can be
// entered and holds nothing of that name: the first send makes it there.

#include <cstdint>
#include <string>
#include <vector>

struct CheckStep {
  bool passed = false;
  /** What the step did, passwords masked: "Log in to ftp://folivox@127.0.0.1:2121". */
  std::string what;
  /** Why it failed and what to fix; empty when it passed. */
  std::string why;
  /** What a step that passed found worth knowing; mostly empty. */
  std::string note;
  std::int64_t milliseconds = 0;
};

enum class Shown { kOnScreen, kInTrace };
/** Runs the steps in order and stops at the first that fails (or at a cancel, which fails the
 *  step it interrupted). Shows its progress with the host's task progress. Passwords read as
 *  bullets on screen, "***" in a trace. */
std::vector<CheckStep> CheckConnection(const std::string& configurationAddress, Shown shown);
/** "passed  Log in to ftp://folivox@host  0.1 s", with ": note" when it has one, or
 *  "FAILED  ...  0.1 s: why". */
std::string CheckLine(const CheckStep& step);
/** Every step's line, each ending in a line feed. */
std::string CheckText(const std::vector<CheckStep>& steps);
/** Whether every step passed. */
bool CheckPassed(const std::vector<CheckStep>& steps);
