// The files of one synthetic school in a working directory: the source document,
// the table directory that the export fills and where the solved timetable lies,
// and the import's result document.
#pragma once

#include <cstddef>

#include "files/file_system.h"

namespace tvb::bench {

struct SchoolFiles {
  Path document;  // DIR/colegio.xml
  Path tables;    // DIR/VTEMP
  Path result;    // DIR/ResultadoToviracolegio.xml

  static SchoolFiles In(const Path& dir);
};

// Writes the school of scale `k` into `dir`: the document, the seven tables of its
// export (made by the export itself, in this process) and a solved timetable that
// names their codes. Returns the files.
SchoolFiles GenerateSchool(std::size_t k, const Path& dir);

}  // namespace tvb::bench
