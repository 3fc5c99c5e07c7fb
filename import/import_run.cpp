#include "import/import_run.h"

#include <span>

#include "import/first_row_index.h"
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
  std::span<const std::size_t> Of(std::string_view abbreviation) {
    if (!teachers_) Group();
    const auto teacher = teachers_->Find(abbreviation);
    if (!teacher) return {};
    const std::size_t n = teacher->row;
    return std::span<const std::size_t>(rows_).subspan(starts_[n], starts_[n + 1] - starts_[n]);
  }

 private:
  // Files every row under its teacher in two passes, counting and then placing,
  // so that each teacher's rows lie together, in table order, in one array.
  void Group() {
    const std::size_t prof = soluc_.Field("PROF");
    FirstRowIndex teachers(1024);  // by PROF, the teacher's number where a row goes
    std::vector<std::uint32_t> teacher_of(soluc_.RowCount());
    std::vector<std::size_t> counts;
    std::string scratch;
    for (std::size_t row = 0; row < soluc_.RowCount(); ++row) {
      const std::string_view key = soluc_.TextView(row, prof, scratch);
      std::size_t teacher = counts.size();
      if (const auto known = teachers.Find(key)) {
        teacher = known->row;
      } else {
        teachers.Emplace(key, teacher, {});
        counts.push_back(0);
      }
      teacher_of[row] = static_cast<std::uint32_t>(teacher);
      ++counts[teacher];
    }
    starts_.assign(counts.size() + 1, 0);
    for (std::size_t t = 0; t < counts.size(); ++t) starts_[t + 1] = starts_[t] + counts[t];
    rows_.resize(soluc_.RowCount());
    std::vector<std::size_t> next(starts_.begin(), starts_.end() - 1);
    for (std::size_t row = 0; row < soluc_.RowCount(); ++row) rows_[next[teacher_of[row]]++] = row;
    teachers_ = std::move(teachers);
  }

  const Table& soluc_;
  std::optional<FirstRowIndex> teachers_;
  std::vector<std::size_t> starts_;  // where each teacher's rows start in rows_
  std::vector<std::size_t> rows_;
};

// How many rows ahead the walk asks for a row's lookup entries; for the row
// itself it asks twice as far ahead, so that the row is there when its keys are read.
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
    const std::span<const std::size_t> rows = teacher_rows.Of(abbreviation.Text(teacher));
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
