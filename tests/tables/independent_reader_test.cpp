// The files the builder writes are read unchanged by another dBase reader:
// Python's dbfread (Debian package python3-dbfread) reads every timetable table
// with the same header, fields and values, accented Windows-1252 text included.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "tables/table_builder.h"
#include "tables/table_set.h"
#include "tests/support/temp_dir.h"
#include "text/ansi.h"

namespace tvb {
namespace {

using testing::TempDir;

constexpr const char* kPython = "/usr/bin/python3";

// Writes one block per table: a header line, one line per field, one per record.
constexpr const char* kReaderScript = R"(
import os, sys, dbfread

def show(value):
    if value is None:
        return ''
    if isinstance(value, float):
        return str(int(value)) if value.is_integer() else repr(value)
    return str(value)

with open(sys.argv[1], 'w', encoding='utf-8', newline='\n') as out:
    for path in sys.argv[2:]:
        table = dbfread.DBF(path, char_decode_errors='strict')
        h = table.header
        name = os.path.basename(path)[:-4]
        out.write('%s %d %s %d %d %d %d %s\n' % (name, h.dbversion, table.date.isoformat(),
                  h.numrecords, h.headerlen, h.recordlen, h.language_driver, table.encoding))
        for f in table.fields:
            out.write('%s %s %d %d\n' % (f.name, f.type, f.length, f.decimal_count))
        for record in table:
            out.write('\t'.join(show(v) for v in record.values()) + '\n')
)";

bool PythonReaderPresent() {
  const std::string command = std::string(kPython) + " -c 'import dbfread' >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

constexpr std::chrono::year_month_day kDay = std::chrono::year(2024) / 5 / 17;

// Three rows: every field set (long accented text, cut to the width), short
// values, and a row left blank.
TableBuilder Filled(const TableDef& def) {
  const std::string accented =
      Utf8ToAnsi("ÁÉ€ñ Ñandú, información con «comillas» y más texto largo");
  TableBuilder built(def);
  built.Append();
  for (std::size_t i = 0; i < def.fields.size(); ++i) {
    if (def.fields[i].kind == FieldKind::kText) {
      built.Set(i, accented.substr(i % 3));
    } else {
      built.SetNumber(i, def.fields[i].kind == FieldKind::kReal ? 1.5 : 42);
    }
  }
  built.Append();
  for (std::size_t i = 0; i < def.fields.size(); ++i) {
    if (def.fields[i].kind == FieldKind::kText) {
      built.Set(i, "x" + std::to_string(i));
    } else {
      built.SetNumber(i, def.fields[i].kind == FieldKind::kReal ? 0.25 : -3);
    }
  }
  built.Append();
  return built;
}

int StoredWidth(const FieldDef& field) {
  switch (field.kind) {
    case FieldKind::kText:
      return field.width;
    case FieldKind::kInteger:
      return 11;
    case FieldKind::kReal:
      return 20;
  }
  return 0;
}

// What the script should print for `built`.
std::string Expected(const TableBuilder& built) {
  const auto fields = built.def().fields;
  int record_length = 1;
  for (const FieldDef& field : fields) record_length += StoredWidth(field);
  std::ostringstream out;
  out << built.def().name << " 3 2024-05-17 " << built.RowCount() << ' '
      << 32 + 32 * fields.size() + 1 << ' ' << record_length << " 3 cp1252\n";
  for (const FieldDef& field : fields) {
    const bool text = field.kind == FieldKind::kText;
    out << field.name << ' ' << (text ? 'C' : 'N') << ' ' << StoredWidth(field) << ' '
        << (field.kind == FieldKind::kReal ? 4 : 0) << '\n';
  }
  for (std::size_t row = 0; row < built.RowCount(); ++row) {
    for (std::size_t field = 0; field < fields.size(); ++field) {
      out << (field == 0 ? "" : "\t") << AnsiToUtf8(built.Text(row, field));
    }
    out << '\n';
  }
  return out.str();
}

TEST(IndependentReaderTest, DbfreadReadsEveryTimetableTable) {
  if (!PythonReaderPresent()) GTEST_SKIP() << kPython << " cannot import dbfread";
  std::vector<const TableDef*> defs(std::begin(tables::kExportTables),
                                    std::end(tables::kExportTables));
  defs.push_back(&tables::kSoluc);

  TempDir dir;
  testing::WriteFile(dir / "reader.py", kReaderScript);
  std::string command = std::string(kPython) + " '" + (dir / "reader.py").string() + "' '" +
                        (dir / "out.txt").string() + "'";
  std::string expected;
  for (const TableDef* def : defs) {
    const TableBuilder built = Filled(*def);
    const std::filesystem::path file = dir / (std::string(def->name) + ".DBF");
    testing::WriteFile(file, built.FileBytes(kDay));
    command += " '" + file.string() + "'";
    expected += Expected(built);
  }
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  EXPECT_EQ(testing::ReadFile(dir / "out.txt"), expected);
}

}  // namespace
}  // namespace tvb
