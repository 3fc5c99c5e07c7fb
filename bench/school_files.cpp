#include "bench/school_files.h"

#include <filesystem>

#include "bench/school_document.h"
#include "bench/solved_timetable.h"
#include "export/export_run.h"
#include "import/import_run.h"

namespace tvb::bench {

SchoolFiles SchoolFiles::In(const Path& dir) {
  const Path document = dir / "colegio.xml";
  return {document, dir / "VTEMP", ResultPathFor(document)};
}

SchoolFiles GenerateSchool(std::size_t k, const Path& dir) {
  FileSystem& fs = RealFileSystem();
  const SchoolFiles files = SchoolFiles::In(dir);
  std::filesystem::create_directories(files.tables);
  fs.Remove(files.result);
  WriteFileAtomically(fs, files.document, SchoolDocument(k));
  ExportarDocumento(fs, files.document, files.tables);
  const std::size_t slots = SchoolSize::AtScale(k).slots;
  WriteFileAtomically(fs, files.tables / "SOLUC.DBF",
                      SolvedTimetable(fs, files.tables, slots, /*seed=*/k));
  return files;
}

}  // namespace tvb::bench
