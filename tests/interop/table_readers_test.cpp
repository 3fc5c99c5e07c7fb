// Every table that the export of the sample school writes is read unchanged by
// three independent dBase readers from Debian: GDAL's ogrinfo (gdal-bin), Python's
// dbfread (python3-dbfread) and LibreOffice Calc's headless conversion to CSV
// (libreoffice-calc-nogui, libreoffice-base-drivers). Each must see the same
// fields (name, type, width, decimals) and the same rows, accented and
// Windows-1252-only text included, as the tool's own reader.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <sstream>

#include "export/export_run.h"
#include "tables/table.h"
#include "tables/table_set.h"
#include "tests/interop/interop_support.h"
#include "text/ansi.h"

namespace tvb {
namespace {

using testing::Quoted;
using testing::TempDir;

struct Column {
  std::string name;
  char type;  // 'C' or 'N'
  int width;
  int decimals;
  bool operator==(const Column&) const = default;
};

struct Contents {
  std::vector<Column> columns;
  std::vector<std::vector<std::string>> rows;  // UTF-8; blank is ""
};

using Tables = std::map<std::string, Contents>;

Column ColumnOf(const FieldDef& field) {
  switch (field.kind) {
    case FieldKind::kText:
      return {std::string(field.name), 'C', field.width, 0};
    case FieldKind::kInteger:
      return {std::string(field.name), 'N', 11, 0};
    case FieldKind::kReal:
      return {std::string(field.name), 'N', 20, 4};
  }
  return {};
}

// What the tool's own reader finds: the reference the other readers must match.
Tables ReadWithTool(const std::filesystem::path& dir) {
  Tables tables;
  for (const TableDef* def : tables::kExportTables) {
    Contents& contents = tables[std::string(def->name)];
    for (const FieldDef& field : def->fields) contents.columns.push_back(ColumnOf(field));
    const Table table = Table::Open(RealFileSystem(), dir, def->name);
    for (std::size_t row = 0; row < table.RowCount(); ++row) {
      auto& values = contents.rows.emplace_back();
      for (const FieldDef& field : def->fields) {
        values.push_back(AnsiToUtf8(table.Text(row, table.Field(field.name))));
      }
    }
  }
  return tables;
}

// Numbers compare by value: "4", "4.0" and "4.0000" are the same number.
std::string Canonical(const std::string& value, const Column& column) {
  if (column.type != 'N' || value.empty()) return value;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", column.decimals, std::stod(value));
  return buffer;
}

void ExpectSame(const Tables& read, const Tables& expected, std::string_view reader) {
  ASSERT_EQ(read.size(), expected.size()) << reader;
  for (const auto& [name, want] : expected) {
    SCOPED_TRACE(std::string(reader) + " " + name);
    const auto found = read.find(name);
    ASSERT_NE(found, read.end());
    const Contents& got = found->second;
    EXPECT_EQ(got.columns, want.columns);
    ASSERT_EQ(got.rows.size(), want.rows.size());
    for (std::size_t row = 0; row < want.rows.size(); ++row) {
      ASSERT_EQ(got.rows[row].size(), want.columns.size()) << "row " << row;
      for (std::size_t i = 0; i < want.columns.size(); ++i) {
        EXPECT_EQ(Canonical(got.rows[row][i], want.columns[i]),
                  Canonical(want.rows[row][i], want.columns[i]))
            << "row " << row << ", field " << want.columns[i].name;
      }
    }
  }
}

class TableReadersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(tables_);
    testing::WriteFile(work_ / "colegio.xml", testing::RichSample());
    ExportarDocumento(RealFileSystem(), work_ / "colegio.xml", tables_);
    expected_ = ReadWithTool(tables_);
  }

  std::vector<std::filesystem::path> Files() const {
    std::vector<std::filesystem::path> files;
    for (const TableDef* def : tables::kExportTables) {
      files.push_back(tables_ / (std::string(def->name) + ".DBF"));
    }
    return files;
  }

  TempDir work_;
  const std::filesystem::path tables_ = work_ / "VTEMP";
  Tables expected_;
};

TEST_F(TableReadersTest, TheReferenceHoldsTheAccentedText) {
  const Contents& subjects = expected_.at("ASIGNOMT");
  const std::string stored = "Matemáticas I € «Œ» “x” o";  // ő has no 1252 byte
  const auto has = [&](const std::vector<std::string>& row) { return row[2] == stored; };
  EXPECT_EQ(std::count_if(subjects.rows.begin(), subjects.rows.end(), has), 1);
  EXPECT_EQ(expected_.at("ASIGT").rows.size(), 47u);
}

// ogrinfo -al: "NAME: String (4.0)" per field, then per row "  NAME (Type) = value".
Tables ParseOgrinfo(const std::string& name, const std::string& output) {
  Tables tables;
  Contents& contents = tables[name];
  std::istringstream lines(output);
  std::string line;
  while (std::getline(lines, line)) {
    char field[64], type[32];
    int width = 0, decimals = 0;
    if (std::sscanf(line.c_str(), "%63[A-Z_0-9]: %31s (%d.%d)", field, type, &width, &decimals) ==
        4) {
      contents.columns.push_back(
          {field, std::string(type) == "String" ? 'C' : 'N', width, decimals});
    } else if (line.starts_with("OGRFeature(")) {
      contents.rows.emplace_back();
    } else if (const auto at = line.find(") = "); line.starts_with("  ") && at != line.npos) {
      const std::string value = line.substr(at + 4);
      contents.rows.back().push_back(value == "(null)" ? "" : value);
    }
  }
  return tables;
}

TEST_F(TableReadersTest, OgrinfoReadsEveryTable) {
  if (!testing::Present("ogrinfo --version")) GTEST_SKIP() << "ogrinfo (gdal-bin) is absent";
  Tables read;
  for (const auto& file : Files()) {
    const auto result = testing::Run("ogrinfo -ro -al " + Quoted(file) + " 2>&1");
    ASSERT_EQ(result.status, 0) << result.output;
    read.merge(ParseOgrinfo(file.stem().string(), result.output));
  }
  ExpectSame(read, expected_, "ogrinfo");
}

// One block per table: "T name", "F name type length decimals", "R" + tab-joined values.
constexpr const char* kDbfreadScript = R"(
import os, sys, dbfread
out = open(sys.argv[1], 'w', encoding='utf-8', newline='\n')
for path in sys.argv[2:]:
    table = dbfread.DBF(path, char_decode_errors='strict')
    out.write('T %s\n' % os.path.basename(path)[:-4])
    for f in table.fields:
        out.write('F %s %s %d %d\n' % (f.name, f.type, f.length, f.decimal_count))
    for record in table:
        out.write('R' + ''.join('\t' + ('' if v is None else str(v)) for v in record.values()) + '\n')
)";

Tables ParseDbfread(const std::string& output) {
  Tables tables;
  Contents* contents = nullptr;
  std::istringstream lines(output);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.starts_with("T ")) {
      contents = &tables[line.substr(2)];
    } else if (line.starts_with("F ")) {
      std::istringstream words(line.substr(2));
      Column column;
      words >> column.name >> column.type >> column.width >> column.decimals;
      contents->columns.push_back(column);
    } else if (line.starts_with("R")) {
      auto& row = contents->rows.emplace_back();
      for (std::size_t at = 1; at != line.npos;) {
        const std::size_t next = line.find('\t', at + 1);
        row.push_back(line.substr(at + 1, next == line.npos ? line.npos : next - at - 1));
        at = next;
      }
    }
  }
  return tables;
}

TEST_F(TableReadersTest, DbfreadReadsEveryTable) {
  constexpr const char* kPython = "/usr/bin/python3";
  if (!testing::Present(std::string(kPython) + " -c 'import dbfread'")) {
    GTEST_SKIP() << kPython << " cannot import dbfread (python3-dbfread)";
  }
  testing::WriteFile(work_ / "reader.py", kDbfreadScript);
  std::string command =
      std::string(kPython) + " " + Quoted(work_ / "reader.py") + " " + Quoted(work_ / "read.txt");
  for (const auto& file : Files()) command += " " + Quoted(file);
  const auto result = testing::Run(command + " 2>&1");
  ASSERT_EQ(result.status, 0) << result.output;
  ExpectSame(ParseDbfread(testing::ReadFile(work_ / "read.txt")), expected_, "dbfread");
}

// One CSV line: quoted or bare cells separated by commas.
std::vector<std::string> CsvCells(const std::string& line) {
  std::vector<std::string> cells(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
      cells.back() += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      cells.emplace_back();
    } else {
      cells.back() += c;
    }
  }
  return cells;
}

// The first line names the fields as "NAME,C,4" or "NAME,N,20,4".
Contents ParseCalcCsv(const std::string& csv) {
  Contents contents;
  std::istringstream lines(csv);
  std::string line;
  std::getline(lines, line);
  for (const std::string& cell : CsvCells(line)) {
    std::istringstream parts(cell);
    Column column{"", 'C', 0, 0};
    std::string type, width, decimals;
    std::getline(parts, column.name, ',');
    std::getline(parts, type, ',');
    std::getline(parts, width, ',');
    std::getline(parts, decimals, ',');
    column.type = type.empty() ? '?' : type[0];
    column.width = width.empty() ? 0 : std::stoi(width);
    column.decimals = decimals.empty() ? 0 : std::stoi(decimals);
    contents.columns.push_back(column);
  }
  while (std::getline(lines, line)) {
    if (!line.empty()) contents.rows.push_back(CsvCells(line));
  }
  return contents;
}

TEST_F(TableReadersTest, LibreOfficeConvertsEveryTableToCsv) {
  if (!testing::Present("command -v soffice")) GTEST_SKIP() << "soffice (LibreOffice) is absent";
  // Calc's dBase import takes the character set from its options (IBM 850 when
  // none is given), not from the header: "ANSI" is Windows-1252.
  std::string command = "soffice -env:UserInstallation=file://" + (work_ / "profile").string() +
                        " --headless --infilter=dBase:ANSI"
                        " --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1' --outdir " +
                        Quoted(work_ / "csv");
  for (const auto& file : Files()) command += " " + Quoted(file);
  const auto result = testing::Run(command + " 2>&1");
  ASSERT_EQ(result.status, 0) << result.output;
  Tables read;
  for (const auto& file : Files()) {
    const auto csv = work_ / "csv" / (file.stem().string() + ".csv");
    ASSERT_TRUE(std::filesystem::exists(csv)) << result.output;
    read[file.stem().string()] = ParseCalcCsv(testing::ReadFile(csv));
  }
  ExpectSame(read, expected_, "LibreOffice");
}

}  // namespace
}  // namespace tvb
