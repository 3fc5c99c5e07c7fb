// The benchmark's report, in Markdown ready to paste: the machine, the figures of
// every run, the growth from k = 10 to k = 100, and which targets are met.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "bench/measurement.h"

namespace tvb::bench {

// Targets: ratio to the floor at k = 100, growth of time from k = 10 to k = 100.
inline constexpr double kMaxRatio = 2.0;
inline constexpr double kMaxGrowth = 12.0;

struct Machine {
  unsigned cores = 0;
  std::string processor;
  std::string load_before, load_after;  // the load averages of /proc/loadavg
  int repeats = 0;
};

Machine ThisMachine();
std::string LoadAverage();

void PrintReport(std::ostream& out, const Machine& machine, const std::vector<Figures>& figures);

}  // namespace tvb::bench
