// benchsupport: what the calculator's benchmarks share: medians, resident
// memory, verdicts.
#pragma once

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Resident memory in kB of a process ("self" for this one); -1 when unknown.
inline long ResidentKb(const std::string& pid = "self") {
  std::ifstream status("/proc/" + pid + "/status");
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == "VmRSS:") {
      status >> value;
      return value;
    }
    status.ignore(1 << 20, '\n');
  }
  return -1;
}

inline const char* Verdict(bool met) { return met ? "met" : "MISSED"; }
