// The five lookups that turn a slot of the solved timetable into the management
// system's keys. Each finds the first row, in table order, whose field text equals
// the key exactly (letter case counts, nothing is trimmed), through a map built
// once, on the lookup's first use; a lookup that finds nothing gives empty values.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "import/result_document.h"
#include "tables/table.h"

namespace tvb {

// The eight tables of an import, opened in this order, each for exclusive use.
struct ImportTables {
  Table soluc, grupost, cursost, proft, aulat, asignomt, diashorast, asigt;

  static ImportTables Open(FileSystem& fs, const Path& dir);
  void Close();
};

// A field of a table, looked up by name the first time it is read, so that a
// table lacking a field fails only where that field is needed.
class LazyField {
 public:
  LazyField(const Table& table, const char* name) : table_(table), name_(name) {}
  std::size_t operator()() {
    if (index_ == kUnresolved) index_ = table_.Field(name_);
    return index_;
  }
  std::string Text(std::size_t row) { return table_.Text(row, (*this)()); }
  // The text without a copy where the table allows it (see Table::TextView).
  std::string_view View(std::size_t row, std::string& scratch) {
    return table_.TextView(row, (*this)(), scratch);
  }

 private:
  const Table& table_;
  const char* name_;
  static constexpr std::size_t kUnresolved = static_cast<std::size_t>(-1);
  std::size_t index_ = kUnresolved;
};

// The first row of each key, in one flat array probed linearly: a lookup reads
// one or two cache lines, where a node-based map follows three or four pointers.
class FirstRowIndex {
 public:
  explicit FirstRowIndex(std::size_t expected);
  void Emplace(std::string_view key, std::size_t row);  // the first row of a key wins
  std::optional<std::size_t> Find(std::string_view key) const;

 private:
  static constexpr std::size_t kEmpty = static_cast<std::size_t>(-1);
  struct Slot {
    std::string key;
    std::size_t row = kEmpty;
  };
  std::vector<Slot> slots_;
  std::size_t mask_;
};

class SlotLookups {
 public:
  explicit SlotLookups(ImportTables& tables);

  // Whether row `row` of SOLUC is a slot: rows whose DIA reads 0 (empty too) are not.
  bool IsSlot(std::size_t row) { return t_.soluc.Integer(row, soluc_dia_()) != 0; }
  // The six values of slot row `row` of SOLUC.
  SlotValues Find(std::size_t row);

 private:
  using FirstRows = FirstRowIndex;
  // The index of `table` by the text of `key`, built on its first use.
  static const FirstRows& ByField(std::optional<FirstRows>& index, const Table& table,
                                  LazyField& key);
  const FirstRows& Assignments();
  const FirstRows& Tasks();
  const FirstRows& Grid();
  const FirstRows& Rooms();
  const FirstRows& Groups();

  ImportTables& t_;
  LazyField soluc_dia_, soluc_hora_, soluc_asig_, soluc_grupo_, soluc_aula_;
  LazyField asig_casig_, asig_cgrup_, asig_clave_, asig_tarea_;
  LazyField nomasg_cod_, nomasg_codtarea_;
  LazyField grid_diho_, grid_dia_, grid_coddiho_;
  LazyField aula_abrev_, aula_depcentro_;
  LazyField grupo_abrev_, grupo_clave_;
  std::optional<FirstRows> assignments_, tasks_, grid_, rooms_, groups_;
  // Room for texts that are not character fields, and for keys, reused per slot.
  std::string scratch_[3];
  std::string key_;
};

}  // namespace tvb
