#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace folivox::test {

// Captures standard output until Take(); ends the capture even when an assertion returns
// early, so the next test can capture again.
class CapturedOutput {
public:
  CapturedOutput() { testing::internal::CaptureStdout(); }
  ~CapturedOutput() {
    if (!fTaken) {
      testing::internal::GetCapturedStdout();
    }
  }
  CapturedOutput(const CapturedOutput&) = delete;
  CapturedOutput& operator=(const CapturedOutput&) = delete;

  std::string Take() {
    fTaken = true;
    return testing::internal::GetCapturedStdout();
  }

private:
  bool fTaken = false;
};

// `printed` without the lines of the plug-in's update check: it runs on its own thread from
// start-up and reports when it ends, which on a loaded machine may fall inside a capture.
inline std::string WithoutUpdateCheckLines(const std::string& printed) {
  std::string kept;
  std::istringstream lines(printed);
  for (std::string line; std::getline(lines, line);) {
    if (line != "Thread done." && line != "Brak rekordow.")
      kept += line + "\n";
  }
  return kept;
}

} // namespace folivox::test
