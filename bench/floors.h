// The floor of a run: the least work the machine must do for it, timed part by
// part in this process on the same files.
//
// Export: load the source document with pugixml alone, then write as many bytes
// as the seven tables have with plain buffered writes.
// Import: read the solved timetable's bytes, load the source document with
// pugixml alone, then write as many bytes as the result document has with plain
// buffered writes.
//
// Writes go to a scratch file in the table directory (the same file system as
// the run's) and are not synced; the file is removed after the timing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "files/file_system.h"

namespace tvb::bench {

// Wall and processor (user and system) seconds of a piece of work.
struct Duration {
  double wall = 0, cpu = 0;
};

struct FloorTimes {
  Duration read, load, write;
  Duration Total() const {
    return {read.wall + load.wall + write.wall, read.cpu + load.cpu + write.cpu};
  }
};

FloorTimes ExportFloor(const Path& document, std::uint64_t table_bytes, const Path& scratch_dir);
FloorTimes ImportFloor(const Path& document, const Path& soluc, std::uint64_t result_bytes,
                       const Path& scratch_dir);

// The times as one line of text, and back, to hand them from a child process.
std::string ToLine(const FloorTimes& times);
FloorTimes FromLine(std::string_view line);

}  // namespace tvb::bench
