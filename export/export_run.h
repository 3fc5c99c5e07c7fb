// The export run: the source document chosen by the user becomes the seven
// timetable tables. The run is all or nothing: the tables are built as temporary
// files in the table directory and put in place only when every step has
// succeeded; on any error the directory is exactly as before the run, and a run
// killed half way is undone by the next one (tables/table_set_writer.h).
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

#include "files/file_system.h"
#include "xml/document.h"

namespace tvb {

struct TableReport {
  std::string_view table;  // "ASIGNOMT"
  std::size_t rows;
};

struct ExportReport {
  std::vector<TableReport> tables;  // the seven tables, in the order they were written
  std::shared_ptr<const xml::Document> document;  // the loaded document
};

// Exports the document at `document` into the table directory `tables`.
// Throws MissingFileError when no file exists at `document`, and Error for every
// other failure, with the directory left as it was.
ExportReport ExportarDocumento(FileSystem& fs, const Path& document, const Path& tables);

}  // namespace tvb
