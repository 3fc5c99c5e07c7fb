#include "import/import_run.h"

#include "import/result_document.h"
#include "import/slot_lookups.h"
#include "tables/table_set_writer.h"
#include "text/error.h"

namespace tvb {
namespace {

// The solved timetable's rows of each teacher, in table order: the teacher
// filter, which matches PROF and the teacher's ABREV as plain equal text.
class TeacherRows {
 public:
  explicit TeacherRows(const Table& soluc) : soluc_(soluc) {}
  const std::vector<std::size_t>& Of(const std::string& abbreviation) {
    if (!by_teacher_) by_teacher_ = soluc_.GroupBy(soluc_.Field("PROF"));
    const auto found = by_teacher_->find(abbreviation);
    return found != by_teacher_->end() ? found->second : none_;
  }

 private:
  const Table& soluc_;
  std::optional<std::unordered_map<std::string, std::vector<std::size_t>>> by_teacher_;
  const std::vector<std::size_t> none_;
};

// How many rows ahead the walk asks for a teacher's row.
constexpr std::size_t kReadAhead = 4;

}  // namespace

Path ResultPathFor(const Path& document) {
  return document.parent_path() / ("ResultadoTovira" + document.filename().string());
}

ImportReport ImportarDocumento(FileSystem& fs, const Path& document, const Path& tables) {
  if (!fs.Exists(document)) throw MissingFileError();
  if (!fs.IsDirectory(tables)) throw Error("No existe la carpeta de tablas " + ShowPath(tables));
  // An export killed while it put its tables in place must not be read half done.
  RepairTableDirectory(fs, tables);
  ImportTables t = ImportTables::Open(fs, tables);
  auto doc = std::make_shared<xml::Document>(xml::Document::Load(fs, document));

  ImportReport report;
  report.result = ResultPathFor(document);
  ResultDocument result(fs, *doc, report.result);
  result.Status(t.proft.RowCount());

  LazyField employee(t.proft, "X_EMPLEADO"), post_date(t.proft, "F_TOMAPOS"),
      abbreviation(t.proft, "ABREV");
  TeacherRows teacher_rows(t.soluc);
  SlotLookups lookups(t);
  for (std::size_t teacher = 0; teacher < t.proft.RowCount(); ++teacher) {
    result.BeginTeacher(++report.teachers, employee.Text(teacher), post_date.Text(teacher));
    std::size_t slot = 0;
    const std::vector<std::size_t>& rows = teacher_rows.Of(abbreviation.Text(teacher));
    for (std::size_t i = 0; i < rows.size(); ++i) {
      // A teacher's rows lie anywhere in the table, and so do their entries in the
      // lookups: ask for a later row early, and for its entries once it has come.
      if (i + 2 * kReadAhead < rows.size()) t.soluc.Prefetch(rows[i + 2 * kReadAhead]);
      if (i + kReadAhead < rows.size()) lookups.Prefetch(rows[i + kReadAhead]);
      if (!lookups.IsSlot(rows[i])) continue;
      result.Slot(++slot, lookups.Find(rows[i]));
    }
    report.slots += slot;
    result.EndTeacher();
  }
  t.Close();
  result.Commit();
  report.document = std::move(doc);
  return report;
}

}  // namespace tvb
