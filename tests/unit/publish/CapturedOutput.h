#pragma once
// Standard output captured for the life of the object, so that a failed assertion cannot
// leave the capture open for the next test.

#include <gtest/gtest.h>

#include <string>

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

  /** Ends the capture and returns what was printed. */
  std::string Take() {
    fTaken = true;
    return testing::internal::GetCapturedStdout();
  }

private:
  bool fTaken = false;
};
