// A new table built in memory, row by row, as an export step fills it, and then
// written out as a dBase III+ file (version byte 0x03, no memo, no index, language
// driver 0x03 Windows ANSI). Values are ANSI text. A text longer than its field is
// cut to the field's width without notice; a field never set stays blank.
//
// The rows can be read back exactly as the engine would read the written file
// (TableBuilder::Text), which is what a step that reads an earlier step's table
// relies on.
#pragma once

#include <chrono>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "files/large_pages.h"
#include "tables/field_value.h"
#include "tables/table_def.h"

namespace tvb {

class TableBuilder {
 public:
  explicit TableBuilder(const TableDef& def);

  const TableDef& def() const { return def_; }

  // Appends a row with every field blank; the Set calls fill the last row.
  void Append();
  // Text field `field` (index into def().fields) of the last row; cut to the width.
  void Set(std::size_t field, std::string_view ansi);
  // Number field (kInteger or kReal) of the last row: a whole number is rounded to
  // the nearest, a real one to 4 decimals. A value that does not fit the field's
  // width (or is not finite) throws Error naming table and field.
  void SetNumber(std::size_t field, double value);

  std::size_t RowCount() const;
  // A field of a row as the engine reads it back: text without trailing blanks,
  // a number in plain decimal ("3", "-2", "1.5"), an unset number as "".
  std::string Text(std::size_t row, std::size_t field) const;

  // The whole file: header (with `today` as date of last update), field
  // descriptors, terminator 0x0D, the records and the end-of-file byte 0x1A.
  std::string FileBytes(std::chrono::year_month_day today) const;
  // The same file in three pieces, so that the records need not be copied: the
  // header with the field descriptors, the records, and the end-of-file byte.
  std::string Header(std::chrono::year_month_day today) const;
  std::string_view Records() const { return records_; }
  static constexpr std::string_view kFileEnd{"\x1A", 1};

 private:
  // The bytes of `field` in the last row, checked to be a number field or not.
  std::span<char> LastRowField(std::size_t field, bool number);
  std::size_t HeaderLength() const;

  const TableDef& def_;
  std::vector<dbf::FieldLayout> fields_;
  std::size_t record_length_ = 1;  // the deletion flag, then the fields
  // Every row's record, one after another.
  std::basic_string<char, std::char_traits<char>, LargePageAllocator<char>> records_;
};

// Today's date, for FileBytes.
std::chrono::year_month_day Today();

}  // namespace tvb
