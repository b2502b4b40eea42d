#pragma once
// Processor time for the benchmarks: the machine may be shared, and time spent waiting for a
// processor is not the cost of what is measured.

#include <ctime>

/** Seconds of processor time on `clock`; by default this thread's. */
inline double ProcessorSeconds(clockid_t clock = CLOCK_THREAD_CPUTIME_ID) {
  timespec now{};
  ::clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}
