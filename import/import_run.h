// The import run: the solved timetable and the tables of the last export become
// the result document, saved beside the chosen document as "ResultadoTovira"
// followed by its file name. A run that fails writes nothing and leaves an earlier
// result file intact; every table it opened is closed on every path.
#pragma once

#include <cstddef>
#include <memory>

#include "files/file_system.h"
#include "xml/document.h"

namespace tvb {

struct ImportReport {
  std::size_t teachers = 0;                       // teacher lists written
  std::size_t slots = 0;                          // slot lists written, all teachers together
  Path result;                                    // the result file
  std::shared_ptr<const xml::Document> document;  // the loaded document
};

// The result file for a chosen document: D:\datos\horario.xml gives
// D:\datos\ResultadoTovirahorario.xml.
Path ResultPathFor(const Path& document);

// Imports the solved timetable of the table directory `tables` into the result
// document of `document`. The table directory is first repaired as every run
// does (RepairTableDirectory), so that the tables of an export killed half way
// are never read. Throws MissingFileError when no file exists at `document`, and
// Error for every other failure.
ImportReport ImportarDocumento(FileSystem& fs, const Path& document, const Path& tables);

}  // namespace tvb
