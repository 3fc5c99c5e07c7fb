// Courses and groups: CURSOST as the courses list gives it, then GRUPOST with
// each group's level and course taken from the course row as stored.
#include <unordered_map>

#include "export/steps.h"

namespace tvb {
namespace {

constexpr auto& kCourse = tables::kCursost;
constexpr auto& kGroup = tables::kGrupost;

void WriteCourses(const xml::Document& doc, TableBuilder& courses) {
  ForEachRecord(doc, "CURSOS", [&](const xml::Record& record, std::size_t) {
    const std::string key = record.Value(0);
    const std::string level = record.Value(3);
    const std::string course = record.Value(4);
    courses.Append();
    courses.Set(kCourse.Index("CLAVE"), key);
    courses.Set(kCourse.Index("NIVEL"), level.empty() ? "NIV" : level);
    courses.Set(kCourse.Index("CURSO"), course);
  });
}

// The first course row for each CLAVE as it reads back from the table.
std::unordered_map<std::string, std::size_t> FirstCourseRows(const TableBuilder& courses) {
  std::unordered_map<std::string, std::size_t> rows;
  for (std::size_t row = 0; row < courses.RowCount(); ++row) {
    rows.emplace(courses.Text(row, kCourse.Index("CLAVE")), row);
  }
  return rows;
}

}  // namespace

void ExportarCursosGrupos(const xml::Document& doc, ExportTables& out) {
  WriteCourses(doc, out.cursost);
  const auto course_rows = FirstCourseRows(out.cursost);
  CodeList codes(kGroupCodes, kGroup.name);
  ForEachRecord(doc, "GRUPOS", [&](const xml::Record& record, std::size_t) {
    const std::string key = record.Value(0);
    const std::string name = record.Value(1);
    const std::string course_key = record.Value(2);
    std::string level;
    std::string course;
    if (auto found = course_rows.find(course_key); found != course_rows.end()) {
      level = out.cursost.Text(found->second, kCourse.Index("NIVEL"));
      course = out.cursost.Text(found->second, kCourse.Index("CURSO"));
    }
    const std::string letter = name.empty() ? "" : name.substr(name.size() - 1);
    out.grupost.Append();
    out.grupost.Set(kGroup.Index("ABREV"), codes.Shorten(name));
    out.grupost.Set(kGroup.Index("TURNO"), "");
    out.grupost.Set(kGroup.Index("NIVEL"), level);
    out.grupost.Set(kGroup.Index("CURSO"), course);
    out.grupost.Set(kGroup.Index("GRUPO"), letter);
    out.grupost.Set(kGroup.Index("CLAVE"), key);
    out.grupost.Set(kGroup.Index("CLAVECURSO"), course_key);
  });
}

}  // namespace tvb
