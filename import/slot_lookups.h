// The five lookups that turn a slot of the solved timetable into the management
// system's keys. Each finds the first row, in table order, whose field text equals
// the key exactly (letter case counts, nothing is trimmed), through a map built
// once, on the lookup's first use; a lookup that finds nothing gives empty values.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "import/first_row_index.h"
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
  const char* name() const { return name_; }
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

// A lookup of one table: the index of its first rows by a key, built on first
// use, and up to two fields read from the row found. A value field that is a
// character field is copied into the index as it is built: its text cannot
// fail. Any other is read from the row when a slot needs it, and a missing field
// fails there, as when the slot reads it from the row.
class FirstRowLookup {
 public:
  using Found = FirstRowIndex::Found;
  FirstRowLookup(const Table& table, const char* value, const char* second_value = nullptr);

  // Builds the index on first use; `key_of(row, scratch)` gives a row's key.
  template <typename KeyOf>
  FirstRowLookup& By(KeyOf key_of) {
    if (!index_) Build(std::function<std::string_view(std::size_t, std::string&)>(key_of));
    return *this;
  }
  std::optional<Found> Find(std::string_view key) const { return index_->Find(key); }
  bool Built() const { return index_.has_value(); }
  void Prefetch(std::string_view key) const { index_->Prefetch(key); }
  // Value `i` (0 or 1) of a found row.
  std::string_view Value(const Found& found, std::size_t i, std::string& scratch) {
    return copied_[i] ? std::string_view(found.copies[i]) : values_[i].View(found.row, scratch);
  }

 private:
  void Build(const std::function<std::string_view(std::size_t, std::string&)>& key_of);

  const Table& table_;
  std::vector<LazyField> values_;
  std::array<std::optional<std::size_t>, FirstRowIndex::kCopies> copied_;
  std::optional<FirstRowIndex> index_;
};

class SlotLookups {
 public:
  explicit SlotLookups(ImportTables& tables);

  // Whether row `row` of SOLUC is a slot: rows whose DIA reads 0 (empty too) are not.
  bool IsSlot(std::size_t row) { return t_.soluc.Integer(row, soluc_dia_()) != 0; }
  // The six values of slot row `row` of SOLUC.
  SlotValues Find(std::size_t row);
  // Starts bringing what Find(row) will look up into the cache, for a walk that
  // knows its next rows. Does nothing before a first Find has built the indexes,
  // and never reads what could fail: it changes nothing that is read.
  void Prefetch(std::size_t row);

 private:
  FirstRowLookup& Assignments();
  FirstRowLookup& Tasks();
  FirstRowLookup& Grid();
  FirstRowLookup& Rooms();
  FirstRowLookup& Groups();

  ImportTables& t_;
  LazyField soluc_dia_, soluc_hora_, soluc_asig_, soluc_grupo_, soluc_aula_;
  LazyField asig_casig_, asig_cgrup_, nomasg_cod_, grid_diho_, aula_abrev_, grupo_abrev_;
  // Values: CLAVE and TAREA of ASIGT, CODTAREA of ASIGNOMT, DIA and CODDIHO of
  // DIASHORAST, DEPCENTRO of AULAT, CLAVE of GRUPOST.
  FirstRowLookup assignments_, tasks_, grid_, rooms_, groups_;
  // Room for texts that are not character fields, and for keys, reused per slot.
  std::string scratch_[3];
  std::string key_, prefetch_key_;
  bool prefetching_ = false;  // Prefetch can read SOLUC's keys and the indexes
};

}  // namespace tvb
