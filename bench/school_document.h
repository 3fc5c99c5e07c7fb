// The source document of a synthetic school at scale k. At k = 1 it is a large
// school; k = 10 and k = 100 multiply every list. The same k always gives the same
// document, byte for byte.
#pragma once

#include <cstddef>
#include <string>

namespace tvb::bench {

struct SchoolSize {
  std::size_t teachers, subjects, tasks, rooms, courses, groups, periods;
  std::size_t slots;  // rows of the solved timetable

  static SchoolSize AtScale(std::size_t k);
};

// The document, UTF-8, with the seven lists that the export reads.
std::string SchoolDocument(std::size_t k);

}  // namespace tvb::bench
