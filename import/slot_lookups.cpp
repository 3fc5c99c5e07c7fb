#include "import/slot_lookups.h"

#include "text/ansi.h"

namespace tvb {
namespace {

// A key of two texts that cannot be confused with another pair, made in `key`.
std::string_view PairKey(std::string_view a, std::string_view b, std::string& key) {
  key.assign(std::to_string(a.size()));
  key += ':';
  key += a;
  key += b;
  return key;
}

template <typename KeyOf>
FirstRowIndex FirstRowsBy(const Table& table, KeyOf key_of) {
  FirstRowIndex rows(table.RowCount());
  std::string scratch;
  for (std::size_t row = 0; row < table.RowCount(); ++row) rows.Emplace(key_of(row, scratch), row);
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

FirstRowIndex::FirstRowIndex(std::size_t expected) {
  std::size_t capacity = 16;
  while (capacity < 2 * expected) capacity *= 2;
  slots_.resize(capacity);
  mask_ = capacity - 1;
}

void FirstRowIndex::Emplace(std::string_view key, std::size_t row) {
  for (std::size_t i = std::hash<std::string_view>{}(key)&mask_;; i = (i + 1) & mask_) {
    Slot& slot = slots_[i];
    if (slot.row == kEmpty) {
      slot.key = key;
      slot.row = row;
      return;
    }
    if (slot.key == key) return;
  }
}

std::optional<std::size_t> FirstRowIndex::Find(std::string_view key) const {
  for (std::size_t i = std::hash<std::string_view>{}(key)&mask_;; i = (i + 1) & mask_) {
    const Slot& slot = slots_[i];
    if (slot.row == kEmpty) return std::nullopt;
    if (slot.key == key) return slot.row;
  }
}

SlotValues SlotLookups::Find(std::size_t row) {
  SlotValues v;
  const std::string_view subject = soluc_asig_.View(row, scratch_[0]);
  const std::string_view group = soluc_grupo_.View(row, scratch_[1]);
  std::string scratch;
  if (auto a = Assignments().Find(PairKey(subject, group, key_))) {
    v.materiaomc = asig_clave_.View(*a, scratch);
    v.actividad = asig_tarea_.View(*a, scratch);
  }
  // A slot without task number is a task: its key comes from the task's row.
  if (Trim(v.actividad).empty()) {
    if (auto task = Tasks().Find(subject)) v.actividad = nomasg_codtarea_.View(*task, scratch);
  }
  key_.assign(soluc_dia_.View(row, scratch));
  key_ += std::to_string(t_.soluc.Integer(row, soluc_hora_()));
  if (auto g = Grid().Find(key_)) {
    v.diasemana = grid_dia_.View(*g, scratch);
    v.tramo = grid_coddiho_.View(*g, scratch);
  }
  if (auto room = Rooms().Find(soluc_aula_.View(row, scratch_[2]))) {
    v.depcentro = aula_depcentro_.View(*room, scratch);
  }
  if (auto unit = Groups().Find(group)) v.unidad = grupo_clave_.View(*unit, scratch);
  return v;
}

const SlotLookups::FirstRows& SlotLookups::Assignments() {
  if (!assignments_) {
    std::string subject, key;
    assignments_ = FirstRowsBy(t_.asigt, [&](std::size_t r, std::string& group) {
      return PairKey(asig_casig_.View(r, subject), asig_cgrup_.View(r, group), key);
    });
  }
  return *assignments_;
}

const SlotLookups::FirstRows& SlotLookups::ByField(std::optional<FirstRows>& index,
                                                   const Table& table, LazyField& key) {
  if (!index) {
    index = FirstRowsBy(table,
                        [&](std::size_t r, std::string& scratch) { return key.View(r, scratch); });
  }
  return *index;
}

const SlotLookups::FirstRows& SlotLookups::Tasks() {
  return ByField(tasks_, t_.asignomt, nomasg_cod_);
}
const SlotLookups::FirstRows& SlotLookups::Grid() {
  return ByField(grid_, t_.diashorast, grid_diho_);
}
const SlotLookups::FirstRows& SlotLookups::Rooms() {
  return ByField(rooms_, t_.aulat, aula_abrev_);
}
const SlotLookups::FirstRows& SlotLookups::Groups() {
  return ByField(groups_, t_.grupost, grupo_abrev_);
}

}  // namespace tvb
