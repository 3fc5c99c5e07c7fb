// The dBase reader on arbitrary bytes: the bytes become a table file, which is
// opened and read whole, every field of every row as text (the first rows also as
// whole and real numbers), then filtered and grouped. Only tvb::Error may come out; a value read
// both as a whole and as a real number must be the same number.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "files/file_system.h"
#include "fuzz/scratch.h"
#include "tables/table.h"
#include "text/error.h"

namespace {

// Groups per field whose filter is checked: enough to compare, few enough to stay
// linear in the size of the file.
constexpr std::size_t kFilterChecks = 4;
// Rows read as numbers too: each refused conversion throws, which costs more than
// the rest of the input, and the conversions do not depend on the row.
constexpr std::size_t kNumberRows = 4;

// Reads one field of one row as text and, in the first rows, as numbers; errors
// are the reader's answer.
void ReadField(const tvb::Table& table, std::size_t row, std::size_t field) {
  try {
    (void)table.Text(row, field);
  } catch (const tvb::Error&) {
  }
  if (row >= kNumberRows) return;
  std::optional<int32_t> whole;
  std::optional<double> real;
  try {
    whole = table.Integer(row, field);
  } catch (const tvb::Error&) {
  }
  try {
    real = table.Real(row, field);
  } catch (const tvb::Error&) {
  }
  if (whole && real && static_cast<double>(*whole) != *real) {
    tvb::fuzz::Broken("a field reads as two different numbers");
  }
}

void ReadTable(const tvb::Table& table) {
  const std::size_t rows = table.RowCount();
  const std::size_t fields = table.FieldCount();
  for (std::size_t row = 0; row < rows; ++row) {
    for (std::size_t field = 0; field < fields; ++field) ReadField(table, row, field);
  }
  try {
    (void)table.Text(rows, 0);
    tvb::fuzz::Broken("a row past the end was read");
  } catch (const tvb::Error&) {
  }
  for (std::size_t field = 0; field < fields; ++field) {
    try {
      const auto groups = table.GroupBy(field);
      std::size_t grouped = 0;
      std::size_t checked = 0;
      for (const auto& [text, members] : groups) {
        grouped += members.size();
        if (++checked <= kFilterChecks && table.RowsWhere(field, text) != members) {
          tvb::fuzz::Broken("the filter and the grouping disagree");
        }
      }
      if (grouped != rows) tvb::fuzz::Broken("the grouping lost rows");
    } catch (const tvb::Error&) {
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const tvb::fuzz::ScratchDir dir;
  tvb::fuzz::WriteBytes(dir / "FUZZ.DBF",
                        std::string_view(reinterpret_cast<const char*>(data), size));
  try {
    const tvb::Table table = tvb::Table::Open(tvb::RealFileSystem(), dir.path(), "FUZZ");
    ReadTable(table);
  } catch (const tvb::Error&) {
  }
  return 0;
}
