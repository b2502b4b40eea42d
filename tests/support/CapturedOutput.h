#pragma once

#include <gtest/gtest.h>

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

} // namespace folivox::test
