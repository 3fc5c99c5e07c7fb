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

// The index of a table by the text of one field.
auto ByField(LazyField& key) {
  return [&key](std::size_t r, std::string& scratch) { return key.View(r, scratch); };
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
      nomasg_cod_(tables.asignomt, "COD"),
      grid_diho_(tables.diashorast, "DIHO"),
      aula_abrev_(tables.aulat, "ABREV"),
      grupo_abrev_(tables.grupost, "ABREV"),
      assignments_(tables.asigt, "CLAVE", "TAREA"),
      tasks_(tables.asignomt, "CODTAREA"),
      grid_(tables.diashorast, "DIA", "CODDIHO"),
      rooms_(tables.aulat, "DEPCENTRO"),
      groups_(tables.grupost, "CLAVE") {}

FirstRowLookup::FirstRowLookup(const Table& table, const char* value, const char* second_value)
    : table_(table) {
  values_.emplace_back(table, value);
  if (second_value) values_.emplace_back(table, second_value);
}

void FirstRowLookup::Build(
    const std::function<std::string_view(std::size_t, std::string&)>& key_of) {
  for (std::size_t i = 0; i < values_.size(); ++i) {
    const std::optional<std::size_t> field = table_.FindField(values_[i].name());
    if (field && table_.IsCharacterField(*field)) copied_[i] = field;
  }
  FirstRowIndex index(table_.RowCount());
  std::string scratch, unused;
  for (std::size_t row = 0; row < table_.RowCount(); ++row) {
    FirstRowIndex::Copies copies;
    for (std::size_t i = 0; i < values_.size(); ++i) {
      if (copied_[i]) copies[i] = table_.TextView(row, *copied_[i], unused);
    }
    index.Emplace(key_of(row, scratch), row, copies);
  }
  index_ = std::move(index);
}

SlotValues SlotLookups::Find(std::size_t row) {
  SlotValues v;
  const std::string_view subject = soluc_asig_.View(row, scratch_[0]);
  const std::string_view group = soluc_grupo_.View(row, scratch_[1]);
  std::string scratch;
  if (const auto a = Assignments().Find(PairKey(subject, group, key_))) {
    v.materiaomc = assignments_.Value(*a, 0, scratch);
    v.actividad = assignments_.Value(*a, 1, scratch);
  }
  // A slot without task number is a task: its key comes from the task's row.
  if (Trim(v.actividad).empty()) {
    if (const auto task = Tasks().Find(subject)) v.actividad = tasks_.Value(*task, 0, scratch);
  }
  key_.assign(soluc_dia_.View(row, scratch));
  key_ += std::to_string(t_.soluc.Integer(row, soluc_hora_()));
  if (const auto g = Grid().Find(key_)) {
    v.diasemana = grid_.Value(*g, 0, scratch);
    v.tramo = grid_.Value(*g, 1, scratch);
  }
  if (const auto room = Rooms().Find(soluc_aula_.View(row, scratch_[2]))) {
    v.depcentro = rooms_.Value(*room, 0, scratch);
  }
  if (const auto unit = Groups().Find(group)) v.unidad = groups_.Value(*unit, 0, scratch);
  // The indexes are built now, and keys of SOLUC read as views of the table
  // cannot fail: Prefetch may read them.
  if (!prefetching_) {
    prefetching_ = t_.soluc.IsCharacterField(soluc_asig_()) &&
                   t_.soluc.IsCharacterField(soluc_grupo_()) &&
                   t_.soluc.IsCharacterField(soluc_aula_());
  }
  return v;
}

void SlotLookups::Prefetch(std::size_t row) {
  if (!prefetching_ || row >= t_.soluc.RowCount()) return;
  std::string unused;
  const std::string_view subject = soluc_asig_.View(row, unused);
  const std::string_view group = soluc_grupo_.View(row, unused);
  assignments_.Prefetch(PairKey(subject, group, prefetch_key_));
  if (tasks_.Built()) tasks_.Prefetch(subject);
  rooms_.Prefetch(soluc_aula_.View(row, unused));
  groups_.Prefetch(group);
  // The grid's key where DIA and HORA are stored as the walk will read them.
  const auto day = t_.soluc.StoredView(row, soluc_dia_());
  const auto hour = t_.soluc.StoredView(row, soluc_hora_());
  if (day && hour && hour->size() <= 9) {
    prefetch_key_.assign(*day);
    prefetch_key_ += *hour;
    grid_.Prefetch(prefetch_key_);
  }
}

FirstRowLookup& SlotLookups::Assignments() {
  std::string subject, key;
  return assignments_.By([&](std::size_t r, std::string& group) {
    return PairKey(asig_casig_.View(r, subject), asig_cgrup_.View(r, group), key);
  });
}

FirstRowLookup& SlotLookups::Tasks() { return tasks_.By(ByField(nomasg_cod_)); }
FirstRowLookup& SlotLookups::Grid() { return grid_.By(ByField(grid_diho_)); }
FirstRowLookup& SlotLookups::Rooms() { return rooms_.By(ByField(aula_abrev_)); }
FirstRowLookup& SlotLookups::Groups() { return groups_.By(ByField(grupo_abrev_)); }

}  // namespace tvb
