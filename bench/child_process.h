// A program run in a child process and measured from outside: its wall time from
// start to end and its peak resident memory, as the kernel counted it for that
// child alone (ru_maxrss from wait4), so that the peaks of different runs never mix.
//
// The child is started with posix_spawn, which shares the parent's memory until
// the program is loaded; the kernel then counts the parent's peak as a start for
// the child's. The measuring process must therefore stay small: it loads no
// document and builds no table itself.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tvb::bench {

struct ChildRun {
  int exit_status = -1;        // the exit code; -1 when a signal ended the child
  double seconds = 0;          // wall time from start to reaping
  double cpu_seconds = 0;      // processor time, user and system
  std::size_t peak_bytes = 0;  // peak resident memory
  std::string output;          // what it wrote on standard output and error
};

// Runs argv[0] (a path) with the arguments argv[1..], standard input empty.
// Throws std::runtime_error when the child cannot be started.
ChildRun RunChild(const std::vector<std::string>& argv);

}  // namespace tvb::bench
