// Teachers and rooms: one row per record, each with a short code unique within
// its own table.
#include "export/steps.h"

namespace tvb {

void ExportarProfesores(const xml::Document& doc, ExportTables& out) {
  constexpr auto& kFields = tables::kProft;
  CodeList codes(kTeacherCodes, kFields.name);
  ForEachRecord(doc, "PROFESORES", [&](const xml::Record& record, std::size_t) {
    const std::string employee = record.Value(0);
    const std::string post_date = record.Value(1);
    const std::string name = record.Value(2);
    const std::string abbreviation = record.Value(3);
    out.proft.Append();
    out.proft.Set(kFields.Index("ABREV"), codes.Shorten(abbreviation));
    out.proft.Set(kFields.Index("NOMBRE"), name);
    out.proft.Set(kFields.Index("X_EMPLEADO"), employee);
    out.proft.Set(kFields.Index("F_TOMAPOS"), post_date);
  });
}

void ExportarAulas(const xml::Document& doc, ExportTables& out) {
  constexpr auto& kFields = tables::kAulat;
  CodeList codes(kRoomCodes, kFields.name);
  ForEachRecord(doc, "AULAS", [&](const xml::Record& record, std::size_t) {
    const std::string key = record.Value(0);
    const std::string name = record.Value(1);
    const std::string abbreviation = record.Value(2);
    // A room without abbreviation is coded from its room key.
    const std::string code = codes.Shorten(abbreviation.empty() ? key : abbreviation);
    out.aulat.Append();
    out.aulat.Set(kFields.Index("ABREV"), code);
    out.aulat.Set(kFields.Index("NOMBRE"), name);
    out.aulat.Set(kFields.Index("DEPCENTRO"), key);
  });
}

}  // namespace tvb
