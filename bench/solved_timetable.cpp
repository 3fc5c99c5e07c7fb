#include "bench/solved_timetable.h"

#include <chrono>
#include <utility>
#include <vector>

#include "bench/random.h"
#include "tables/table.h"
#include "tables/table_builder.h"
#include "tables/table_set.h"

namespace tvb::bench {
namespace {

constexpr auto& kSoluc = tables::kSoluc;
constexpr int kDays = 5;
constexpr std::size_t kDaysInGrid = 7;  // the export writes every period for days 1 to 7

// The codes that the export gave, as the timetabling program reads them.
struct ExportedCodes {
  std::vector<std::string> teachers;
  std::vector<std::pair<std::string, std::string>> assignments;  // subject, group
  std::vector<std::string> rooms;
  std::vector<std::string> tasks;
  std::size_t periods = 0;
};

std::vector<std::string> Column(const Table& table, std::string_view field) {
  std::vector<std::string> values;
  const std::size_t index = table.Field(field);
  for (std::size_t row = 0; row < table.RowCount(); ++row) values.push_back(table.Text(row, index));
  return values;
}

ExportedCodes ReadExportedCodes(FileSystem& fs, const Path& dir) {
  ExportedCodes codes;
  codes.teachers = Column(Table::Open(fs, dir, "PROFT"), "ABREV");
  codes.rooms = Column(Table::Open(fs, dir, "AULAT"), "ABREV");
  const Table asigt = Table::Open(fs, dir, "ASIGT");
  const std::size_t subject = asigt.Field("CASIG");
  const std::size_t group = asigt.Field("CGRUP");
  for (std::size_t row = 0; row < asigt.RowCount(); ++row) {
    codes.assignments.emplace_back(asigt.Text(row, subject), asigt.Text(row, group));
  }
  const Table asignomt = Table::Open(fs, dir, "ASIGNOMT");
  const std::size_t code = asignomt.Field("COD");
  const std::size_t task_key = asignomt.Field("CODTAREA");
  for (std::size_t row = 0; row < asignomt.RowCount(); ++row) {
    if (!asignomt.Text(row, task_key).empty()) codes.tasks.push_back(asignomt.Text(row, code));
  }
  codes.periods = Table::Open(fs, dir, "DIASHORAST").RowCount() / kDaysInGrid;
  return codes;
}

template <typename T>
const T& AnyOf(const std::vector<T>& values, Random& random) {
  return values[random.Below(values.size())];
}

// One row of `teacher`: mostly a taught subject, sometimes a task, a day-0 row, a
// row whose codes match nothing, or a row of no teacher at all.
void AppendRow(TableBuilder& soluc, const ExportedCodes& codes, const std::string& teacher,
               Random& random) {
  const std::size_t kind = random.Below(100);
  const auto& [subject, group] = AnyOf(codes.assignments, random);
  soluc.Append();
  soluc.Set(kSoluc.Index("PROF"), kind == 99 ? "XXXX" : teacher);
  soluc.SetNumber(kSoluc.Index("DIA"), kind < 3 ? 0 : 1 + static_cast<int>(random.Below(kDays)));
  soluc.SetNumber(kSoluc.Index("HORA"), 1 + static_cast<double>(random.Below(codes.periods)));
  if (kind >= 3 && kind < 5) {
    soluc.Set(kSoluc.Index("ASIG"), "ZZZ9");
    soluc.Set(kSoluc.Index("CODGRUPO"), "ZZZZ");
    soluc.Set(kSoluc.Index("AULA"), "NADA");
  } else if (kind >= 5 && kind < 10) {
    soluc.Set(kSoluc.Index("ASIG"), AnyOf(codes.tasks, random));
  } else {
    soluc.Set(kSoluc.Index("ASIG"), subject);
    soluc.Set(kSoluc.Index("CODGRUPO"), group);
    soluc.Set(kSoluc.Index("AULA"), AnyOf(codes.rooms, random));
  }
}

}  // namespace

std::string SolvedTimetable(FileSystem& fs, const Path& tables, std::size_t slots,
                            std::uint64_t seed) {
  const ExportedCodes codes = ReadExportedCodes(fs, tables);
  Random random(seed);
  TableBuilder soluc(kSoluc);
  const std::size_t per_teacher = slots / codes.teachers.size();
  for (std::size_t slot = 0; slot < per_teacher; ++slot) {
    for (const std::string& teacher : codes.teachers) AppendRow(soluc, codes, teacher, random);
  }
  using std::chrono::September;
  return soluc.FileBytes(std::chrono::year{2026} / September / 1);
}

}  // namespace tvb::bench
