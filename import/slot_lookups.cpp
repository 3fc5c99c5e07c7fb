#include "import/slot_lookups.h"

#include "text/ansi.h"

namespace tvb {
namespace {

// A key of two texts that cannot be confused with another pair.
std::string PairKey(const std::string& a, const std::string& b) {
  return std::to_string(a.size()) + ':' + a + b;
}

template <typename KeyOf>
std::unordered_map<std::string, std::size_t> FirstRowsBy(const Table& table, KeyOf key_of) {
  std::unordered_map<std::string, std::size_t> rows;
  rows.reserve(table.RowCount());
  for (std::size_t row = 0; row < table.RowCount(); ++row) rows.emplace(key_of(row), row);
  return rows;
}

}  // namespace

ImportTables ImportTables::Open(FileSystem& fs, const Path& dir) {
  // Braced initialisation runs in order: the tables open in this order.
  return ImportTables{Table::Open(fs, dir, "SOLUC"),      Table::Open(fs, dir, "GRUPOST"),
                      Table::Open(fs, dir, "CURSOST"),    Table::Open(fs, dir, "PROFT"),
                      Table::Open(fs, dir, "AULAT"),      Table::Open(fs, dir, "ASIGNOMT"),
                      Table::Open(fs, dir, "DIASHORAST"), Table::Open(fs, dir, "ASIGT")};
}

void ImportTables::Close() {
  for (Table* table : {&soluc, &grupost, &cursost, &proft, &aulat, &asignomt, &diashorast, &asigt})
    table->Close();
}

SlotLookups::SlotLookups(ImportTables& tables)
    : t_(tables),
      soluc_dia_(tables.soluc, "DIA"),
      soluc_hora_(tables.soluc, "HORA"),
      soluc_asig_(tables.soluc, "ASIG"),
      soluc_grupo_(tables.soluc, "CODGRUPO"),
      soluc_aula_(tables.soluc, "AULA"),
      asig_casig_(tables.asigt, "CASIG"),
      asig_cgrup_(tables.asigt, "CGRUP"),
      asig_clave_(tables.asigt, "CLAVE"),
      asig_tarea_(tables.asigt, "TAREA"),
      nomasg_cod_(tables.asignomt, "COD"),
      nomasg_codtarea_(tables.asignomt, "CODTAREA"),
      grid_diho_(tables.diashorast, "DIHO"),
      grid_dia_(tables.diashorast, "DIA"),
      grid_coddiho_(tables.diashorast, "CODDIHO"),
      aula_abrev_(tables.aulat, "ABREV"),
      aula_depcentro_(tables.aulat, "DEPCENTRO"),
      grupo_abrev_(tables.grupost, "ABREV"),
      grupo_clave_(tables.grupost, "CLAVE") {}

std::optional<std::size_t> SlotLookups::Lookup(const FirstRows& rows, const std::string& key) {
  const auto found = rows.find(key);
  if (found == rows.end()) return std::nullopt;
  return found->second;
}

SlotValues SlotLookups::Find(std::size_t row) {
  SlotValues v;
  const std::string subject = soluc_asig_.Text(row);
  const std::string group = soluc_grupo_.Text(row);
  if (auto a = Lookup(Assignments(), PairKey(subject, group))) {
    v.materiaomc = asig_clave_.Text(*a);
    v.actividad = asig_tarea_.Text(*a);
  }
  // A slot without task number is a task: its key comes from the task's row.
  if (Trim(v.actividad).empty()) {
    if (auto task = Lookup(Tasks(), subject)) v.actividad = nomasg_codtarea_.Text(*task);
  }
  const std::string day_period =
      soluc_dia_.Text(row) + std::to_string(t_.soluc.Integer(row, soluc_hora_()));
  if (auto g = Lookup(Grid(), day_period)) {
    v.diasemana = grid_dia_.Text(*g);
    v.tramo = grid_coddiho_.Text(*g);
  }
  if (auto room = Lookup(Rooms(), soluc_aula_.Text(row))) v.depcentro = aula_depcentro_.Text(*room);
  if (auto unit = Lookup(Groups(), group)) v.unidad = grupo_clave_.Text(*unit);
  return v;
}

const SlotLookups::FirstRows& SlotLookups::Assignments() {
  if (!assignments_) {
    assignments_ = FirstRowsBy(t_.asigt, [this](std::size_t r) {
      return PairKey(asig_casig_.Text(r), asig_cgrup_.Text(r));
    });
  }
  return *assignments_;
}

const SlotLookups::FirstRows& SlotLookups::Tasks() {
  if (!tasks_)
    tasks_ = FirstRowsBy(t_.asignomt, [this](std::size_t r) { return nomasg_cod_.Text(r); });
  return *tasks_;
}

const SlotLookups::FirstRows& SlotLookups::Grid() {
  if (!grid_)
    grid_ = FirstRowsBy(t_.diashorast, [this](std::size_t r) { return grid_diho_.Text(r); });
  return *grid_;
}

const SlotLookups::FirstRows& SlotLookups::Rooms() {
  if (!rooms_)
    rooms_ = FirstRowsBy(t_.aulat, [this](std::size_t r) { return aula_abrev_.Text(r); });
  return *rooms_;
}

const SlotLookups::FirstRows& SlotLookups::Groups() {
  if (!groups_)
    groups_ = FirstRowsBy(t_.grupost, [this](std::size_t r) { return grupo_abrev_.Text(r); });
  return *groups_;
}

}  // namespace tvb
