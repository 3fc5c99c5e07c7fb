// Subjects and tasks share ASIGNOMT and one space of short codes: a task is
// tested against every subject's long and short code.
#include "export/steps.h"
#include "text/ansi.h"

namespace tvb {
namespace {

constexpr auto& kFields = tables::kAsignomt;

// Accepts a long code once, without regard to letter case; false when taken.
bool AcceptLongCode(ExportTables& out, const std::string& folded_code) {
  return out.ListaCodigosLargos.insert(folded_code).second;
}

}  // namespace

void ExportarMaterias(const xml::Document& doc, ExportTables& out) {
  const xml::SourceList subjects = doc.List("MATERIAS");
  // Room for every subject at once: these sets would otherwise be rebuilt as they grow.
  out.ListaCodigosLargos.reserve(subjects.size());
  out.subject_short_code.reserve(subjects.size());
  out.ListaCodigosCortos.Reserve(subjects.size());
  ForEachRecord(subjects, [&](const xml::Record& record, std::size_t) {
    const std::string name = record.Value(1);
    const std::string code = record.Value(2);
    std::string folded_code = FoldCase(code);
    if (!AcceptLongCode(out, folded_code)) return;
    const std::string short_code = out.ListaCodigosCortos.Shorten(code);
    out.subject_short_code.emplace(std::move(folded_code), short_code);
    out.asignomt.Append();
    out.asignomt.Set(kFields.Index("COD"), short_code);
    out.asignomt.Set(kFields.Index("CODLARGO"), code);
    out.asignomt.Set(kFields.Index("NOMBRE"), name);
  });
}

void ExportarTareas(const xml::Document& doc, ExportTables& out) {
  ForEachRecord(doc, "TAREAS", [&](const xml::Record& record, std::size_t) {
    const std::string name = record.Value(1);
    const std::string code = record.Value(2);
    const std::string key = record.Value(0);
    if (!AcceptLongCode(out, FoldCase(code))) return;
    out.asignomt.Append();
    out.asignomt.Set(kFields.Index("COD"), out.ListaCodigosCortos.Shorten(code));
    out.asignomt.Set(kFields.Index("CODLARGO"), code);
    out.asignomt.Set(kFields.Index("NOMBRE"), name);
    out.asignomt.Set(kFields.Index("CODTAREA"), key);
  });
}

}  // namespace tvb
