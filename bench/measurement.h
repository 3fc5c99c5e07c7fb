// The measurement of export and import at one scale: the school is generated in a
// child process, then each operation is run through the command line `transvb`
// in child processes, alternating with its floor, a few times; the figures are
// the medians of the times and the highest peak of memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string_view>
#include <vector>

#include "files/file_system.h"

namespace tvb::bench {

struct BenchSettings {
  Path transvb;  // the command line that is measured
  Path self;     // this program: generates schools and times floors in children
  Path work;     // where the schools are written, one directory per scale
  int repeats = 5;
};

struct Figures {
  std::string_view operation;  // "exportar" or "importar"
  std::size_t k = 0;
  std::uint64_t rows = 0;          // table rows written; solved timetable rows read
  std::uint64_t source_bytes = 0;  // the source document
  std::uint64_t output_bytes = 0;  // the seven tables; the result document
  std::uint64_t result_document_bytes = 0;
  double seconds = 0;        // median wall time of the runs
  double floor_seconds = 0;  // median floor
  double cpu_seconds = 0;    // median processor time (user and system) of the runs
  double floor_cpu_seconds = 0;
  std::size_t peak_bytes = 0;

  double Ratio() const { return seconds / floor_seconds; }
  double CpuRatio() const { return cpu_seconds / floor_cpu_seconds; }
  double RowsPerSecond() const { return static_cast<double>(rows) / seconds; }
  // 4 times the larger of the source and result documents, plus 64 MiB.
  std::uint64_t MemoryLimit() const;
};

// Export and import figures at scale `k`; progress lines go to `log`.
std::vector<Figures> MeasureScale(const BenchSettings& settings, std::size_t k, std::ostream& log);

}  // namespace tvb::bench
