// An existing dBase table opened for exclusive use: found in its directory
// without regard to letter case (NAME.DBF), held under an exclusive lock from
// Open until the object is closed or destroyed, and read whole.
//
// Reads every common dBase header (III, IV, V, 7, FoxPro: version bytes 0x02,
// 0x03, 0x04, 0x05, 0x30, 0x31, 0x43, 0x63, 0x83, 0x8B, 0x8C, 0xCB, 0xF5 ...),
// 32-byte and dBase 7 48-byte field descriptors, and the field types C, N, F, I,
// L, D, B, O, + and @; memo fields read as empty text. Rows marked deleted are not
// seen: row numbers count the live rows only. A damaged file is a clear error
// naming the table, never a read past the buffer.
//
// Errors (all tvb::Error, naming the table and, where one is at fault, the field):
// a missing table, a table held by another program, a damaged file, a missing
// field, a number that cannot be read as one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "files/file_system.h"

namespace tvb {

class Table {
 public:
  // Opens `name` (without extension) in `dir`.
  static Table Open(FileSystem& fs, const Path& dir, std::string_view name);

  Table(Table&&) noexcept;
  Table& operator=(Table&&) noexcept;
  ~Table();

  const std::string& name() const;
  // Releases the lock; the table can no longer be read.
  void Close();

  // Number of live (not deleted) rows.
  std::size_t RowCount() const;

  // Number of fields; they are numbered 0 to FieldCount() - 1 in the file's order.
  std::size_t FieldCount() const;
  std::optional<std::size_t> FindField(std::string_view field) const;
  // Throws "La tabla X no tiene el campo Y" when the table lacks the field.
  std::size_t Field(std::string_view field) const;

  // Field of live row `row` as text: a text field without trailing blanks; a number
  // in plain decimal ("3", "-2", "1.5"); an empty number as "".
  std::string Text(std::size_t row, std::size_t field) const;
  // The same text without a copy where the field is a character field: the view
  // points into the table, valid while it is open. For other fields the text is
  // made in `scratch` and the view points there.
  std::string_view TextView(std::size_t row, std::size_t field, std::string& scratch) const;
  // Whether `field` is a character field: one whose TextView points into the table.
  bool IsCharacterField(std::size_t field) const;
  // Starts bringing row `row` into the processor's cache, for a walk that reads
  // rows out of order and knows which comes next. Changes nothing that is read.
  void Prefetch(std::size_t row) const;
  // The text of a field as it lies in the table, where it needs no making: a
  // character field, or a number field that already reads as a plain whole
  // number. nullopt where the text must be made (or the row or field is wrong).
  std::optional<std::string_view> StoredView(std::size_t row, std::size_t field) const;
  // As a whole number: number fields by value (an empty one is 0); a text field
  // through the toolkit integer conversion. Errors name table, field and row.
  int32_t Integer(std::size_t row, std::size_t field) const;
  // As a real number (an empty number field is 0).
  double Real(std::size_t row, std::size_t field) const;

  // The live rows whose `field` reads as text equal to `value`, in table order:
  // the teacher filter ("PROF equal to the abbreviation", matched literally).
  std::vector<std::size_t> RowsWhere(std::size_t field, std::string_view value) const;
  // All live rows grouped by the text of `field`, each group in table order.
  std::unordered_map<std::string, std::vector<std::size_t>> GroupBy(std::size_t field) const;

 private:
  struct Impl;
  explicit Table(std::unique_ptr<Impl> impl);
  // The open table; throws once it is closed.
  const Impl& Readable() const;
  // "Tabla SOLUC, campo DIA, fila 3: ", the start of a conversion error.
  std::string Where(std::size_t row, std::size_t field) const;
  std::unique_ptr<Impl> impl_;
};

// A cursor over a table in stored order, as the timetabling engine offers it:
// First, Next, end of table, and a filter that shows only the rows whose field
// equals a text.
class TableCursor {
 public:
  explicit TableCursor(const Table& table) : table_(table) {}
  void First();
  void Next();
  bool Eof() const;
  std::size_t Row() const;  // the current live row
  std::string Text(std::string_view field) const;
  int32_t Integer(std::string_view field) const;
  // Shows only the rows whose `field` equals `value` as plain text (trailing
  // blanks removed); stands at the first of them.
  void SetFilter(std::string_view field, std::string_view value);
  void ClearFilter();

 private:
  const Table& table_;
  std::optional<std::vector<std::size_t>> filtered_;
  std::size_t position_ = 0;
};

}  // namespace tvb
