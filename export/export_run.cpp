#include "export/export_run.h"

#include "export/steps.h"
#include "tables/table_set.h"
#include "tables/table_set_writer.h"

namespace tvb {
namespace {

std::vector<std::string_view> ExportTableNames() {
  std::vector<std::string_view> names;
  for (const TableDef* def : tables::kExportTables) names.push_back(def->name);
  return names;
}

// The seven tables in the order the export replaces them.
std::vector<const TableBuilder*> InOrder(const ExportTables& t) {
  return {&t.asignomt, &t.proft, &t.aulat, &t.cursost, &t.grupost, &t.asigt, &t.diashorast};
}

}  // namespace

ExportReport ExportarDocumento(FileSystem& fs, const Path& document, const Path& tables) {
  if (!fs.Exists(document)) throw MissingFileError();
  auto doc = std::make_shared<const xml::Document>(xml::Document::Load(fs, document));
  TableSetWriter writer(fs, tables, ExportTableNames());

  ExportTables built;
  ExportarMaterias(*doc, built);
  ExportarTareas(*doc, built);
  ExportarProfesores(*doc, built);
  ExportarAulas(*doc, built);
  ExportarCursosGrupos(*doc, built);
  ExportarAsignaciones(*doc, built);
  ExportarTramos(*doc, built);

  const auto today = Today();
  std::vector<std::string> headers;
  std::vector<NewTable> files;
  ExportReport report;
  headers.reserve(std::size(tables::kExportTables));
  for (const TableBuilder* table : InOrder(built)) {
    headers.push_back(table->Header(today));
    files.push_back(
        {table->def().name, {headers.back(), table->Records(), TableBuilder::kFileEnd}});
    report.tables.push_back({table->def().name, table->RowCount()});
  }
  writer.Replace(files);
  report.document = std::move(doc);
  return report;
}

}  // namespace tvb
