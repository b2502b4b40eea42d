#pragma once
// What the benchmarks print beside their figures: how busy the machine was, and how much
// memory the process holds.

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

/** The load averages over 1, 5 and 15 minutes, as "0.42 0.30 0.25". */
inline std::string MachineLoad() {
  double load[3] = {0, 0, 0};
  ::getloadavg(load, 3);
  char text[64];
  std::snprintf(text, sizeof text, "%.2f %.2f %.2f", load[0], load[1], load[2]);
  return text;
}

/** A field of /proc/self/status in kilobytes ("VmRSS:", "VmHWM:"), or -1. */
inline long StatusKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0)
      return std::atol(line.c_str() + std::string(field).size());
  }
  return -1;
}
