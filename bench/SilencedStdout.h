#pragma once
// The plug-in's traces on standard output would drown a benchmark's figures.

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

/** The plug-in's traces would drown the figures; they go nowhere while this lives. */
class SilencedStdout {
public:
  SilencedStdout() : fSaved(::dup(STDOUT_FILENO)) {
    std::fflush(stdout);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, STDOUT_FILENO);
    ::close(null);
  }
  ~SilencedStdout() {
    std::fflush(stdout);
    ::dup2(fSaved, STDOUT_FILENO);
    ::close(fSaved);
  }
  SilencedStdout(const SilencedStdout&) = delete;
  SilencedStdout& operator=(const SilencedStdout&) = delete;

private:
  int fSaved;
};
