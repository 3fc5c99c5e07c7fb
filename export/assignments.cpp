// Teaching assignments: every subject is assigned to every group of its course,
// with its weekly hours, sessions pattern and task number.
#include <unordered_map>
#include <vector>

#include "export/steps.h"
#include "text/ansi.h"
#include "text/error.h"
#include "text/str_to_int.h"

namespace tvb {
namespace {

constexpr auto& kGroup = tables::kGrupost;
constexpr auto& kAsig = tables::kAsigt;

// What an assignment copies from its group row, as the row reads back.
struct GroupFields {
  std::string abrev, nivel, curso, grupo;
};

// The groups of each course (by CLAVECURSO as it reads back), in table order.
std::unordered_map<std::string, std::vector<GroupFields>> GroupsByCourse(
    const TableBuilder& groups) {
  std::unordered_map<std::string, std::vector<GroupFields>> by_course;
  for (std::size_t row = 0; row < groups.RowCount(); ++row) {
    by_course[groups.Text(row, kGroup.Index("CLAVECURSO"))].push_back(
        {groups.Text(row, kGroup.Index("ABREV")), groups.Text(row, kGroup.Index("NIVEL")),
         groups.Text(row, kGroup.Index("CURSO")), groups.Text(row, kGroup.Index("GRUPO"))});
  }
  return by_course;
}

// Whole weekly hours from weekly minutes: m / 60 rounded up, at least 1; empty
// minutes give 1. Minutes that are not a whole number end the run.
int64_t WeeklyHours(const std::string& minutes, std::size_t record_number) {
  if (minutes.empty()) return 1;
  int64_t m = 0;
  try {
    m = StrToInt(minutes);
  } catch (const ConversionError& e) {
    throw ConversionError(std::string(e.what()) + " (lista MATERIAS, registro " +
                          std::to_string(record_number) + ", minutos semanales)");
  }
  const int64_t hours = m > 0 ? (m + 59) / 60 : m / 60;  // division rounds toward zero
  return hours < 1 ? 1 : hours;
}

// n sessions of one hour: up to 13 as n ones; from 14 on, n - 13 then thirteen ones.
std::string SessionsPattern(int64_t hours) {
  if (hours <= 13) return std::string(static_cast<std::size_t>(hours), '1');
  return std::to_string(hours - 13) + std::string(13, '1');
}

std::string TaskNumber(const std::string& subject_name) {
  const std::string upper = AsciiUpper(subject_name);
  if (upper.find("BIBLIO") != std::string::npos) return "286";
  if (upper.find("GUARD") != std::string::npos) return "281";
  return "156";
}

}  // namespace

void ExportarAsignaciones(const xml::Document& doc, ExportTables& out) {
  const auto groups_by_course = GroupsByCourse(out.grupost);
  ForEachRecord(doc, "MATERIAS", [&](const xml::Record& record, std::size_t number) {
    const std::string key = record.Value(0);
    const std::string name = record.Value(1);
    const std::string code = record.Value(2);
    const std::string course_key = record.Value(3);
    const std::string minutes = record.Value(4);
    const auto groups = groups_by_course.find(course_key);
    if (groups == groups_by_course.end()) return;
    // The subject as the subjects step coded it, so that the solved timetable,
    // which names it by that code, finds its assignments.
    const auto short_code = out.subject_short_code.find(FoldCase(code));
    const std::string& subject_code =
        short_code != out.subject_short_code.end() ? short_code->second : code;
    const int64_t hours = WeeklyHours(minutes, number);
    const std::string sessions = SessionsPattern(hours);
    const std::string task = TaskNumber(name);
    for (const GroupFields& group : groups->second) {
      out.asigt.Append();
      out.asigt.Set(kAsig.Index("CASIG"), subject_code);
      out.asigt.Set(kAsig.Index("CGRUP"), group.abrev);
      out.asigt.Set(kAsig.Index("CAULA"), "");
      out.asigt.Set(kAsig.Index("TURNO"), "");
      out.asigt.Set(kAsig.Index("NIVEL"), group.nivel);
      out.asigt.Set(kAsig.Index("CURSO"), group.curso);
      out.asigt.Set(kAsig.Index("GRUPO"), group.grupo);
      out.asigt.SetNumber(kAsig.Index("HORAS"), static_cast<double>(hours));
      out.asigt.Set(kAsig.Index("SESIONES"), sessions);
      out.asigt.Set(kAsig.Index("CLAVE"), key);
      out.asigt.Set(kAsig.Index("CLAVECURSO"), course_key);
      out.asigt.Set(kAsig.Index("TAREA"), task);
    }
  });
}

}  // namespace tvb
