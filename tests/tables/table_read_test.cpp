// Reading tables that other programs wrote: hand-built files of every common
// dBase variant.
#include <gtest/gtest.h>

#include <functional>

#include "tables/field_value.h"
#include "tables/table.h"
#include "tests/support/temp_dir.h"
#include "tests/tables/dbf_bytes.h"
#include "text/error.h"

namespace tvb {
namespace {

using testing::Big;
using testing::Bits;
using testing::DbfBytes;
using testing::Little;
using testing::TempDir;

Table OpenBytes(const TempDir& dir, const std::string& bytes, const char* file = "SOLUC.DBF") {
  testing::WriteFile(dir / file, bytes);
  return Table::Open(RealFileSystem(), dir.path(), "SOLUC");
}

std::string Left(std::string_view text, std::size_t width) {
  return std::string(text) + std::string(width - text.size(), ' ');
}

std::string Right(std::string_view text, std::size_t width) {
  return std::string(width - text.size(), ' ') + std::string(text);
}

// Every field of every live row as text.
std::vector<std::vector<std::string>> AllText(const Table& table) {
  std::vector<std::vector<std::string>> rows(table.RowCount());
  for (std::size_t row = 0; row < rows.size(); ++row) {
    for (std::size_t field = 0; field < table.FieldCount(); ++field) {
      rows[row].push_back(table.Text(row, field));
    }
  }
  return rows;
}

std::string Message(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& error) {
    return error.what();
  }
  return "(no error)";
}

TEST(TableReadTest, Dbase3NumberFields) {
  const std::string bytes = DbfBytes(
      0x03, {{"A", 'C', 4}, {"B", 'N', 2}, {"C", 'N', 11}, {"D", 'N', 8, 3}, {"E", 'F', 10, 2}},
      {" " + Left("MGA", 4) + Right("3", 2) + Right("7", 11) + Right("1.500", 8) +
           Right("-2.50", 10),
       " " + Left("X", 4) + Right("0", 2) + Right("-0000000012", 11) + Right("-0.000", 8) +
           Right("1e+2", 10),
       " " + Left("", 4) + Right("", 2) + Right("+2", 11) + Right(".25", 8) + Right("3.", 10)});
  TempDir dir;
  const Table table = OpenBytes(dir, bytes);
  const std::vector<std::vector<std::string>> expected = {
      {"MGA", "3", "7", "1.5", "-2.5"},
      {"X", "0", "-12", "0", "100"},
      {"", "", "2", "0.25", "3"},
  };
  EXPECT_EQ(AllText(table), expected);
  EXPECT_EQ(table.Integer(0, 1), 3);
  EXPECT_EQ(table.Integer(1, 2), -12);
  EXPECT_EQ(table.Integer(2, 1), 0);  // an empty number
  EXPECT_EQ(table.Real(0, 4), -2.5);
  EXPECT_EQ(table.Real(2, 1), 0.0);
}

// Reading without a copy (TextView, and Integer on plain whole numbers) gives
// exactly what the text gives, whatever form the number is stored in.
TEST(TableReadTest, ReadingWithoutACopyAgreesWithTheText) {
  const char* stored[] = {"12",        "-3",         "0",          "-0",  "007", "1.0",
                          "999999999", "-999999999", "2147483647", "2147483648",
                          "",          "+5",         "1 2",        "-",   "1e1"};
  std::vector<std::string> rows;
  for (const char* number : stored) rows.push_back(" " + Left("AB ", 4) + Right(number, 11));
  TempDir dir;
  const Table table = OpenBytes(dir, DbfBytes(0x03, {{"A", 'C', 4}, {"N", 'N', 11}}, rows));
  for (std::size_t row = 0; row < rows.size(); ++row) {
    std::string scratch;
    EXPECT_EQ(table.TextView(row, 0, scratch), "AB");
    std::string text;
    try {
      text = table.Text(row, 1);
    } catch (const Error& damaged) {
      EXPECT_EQ(Message([&] { table.TextView(row, 1, scratch); }), damaged.what());
      EXPECT_EQ(Message([&] { table.Integer(row, 1); }), damaged.what());
      continue;
    }
    EXPECT_EQ(table.TextView(row, 1, scratch), text) << stored[row];
    const std::optional<int32_t> whole = dbf::WholeNumber(text);
    if (whole) {
      EXPECT_EQ(table.Integer(row, 1), *whole) << stored[row];
    } else {
      EXPECT_THROW(table.Integer(row, 1), ConversionError) << stored[row];
    }
  }
}

// Every classic header variant (dBase III to V, FoxBASE, FoxPro) reads alike.
TEST(TableReadTest, ClassicVersionBytes) {
  const uint8_t versions[] = {0x02, 0x03, 0x05, 0x30, 0x31, 0x43, 0x63, 0x83, 0x8B, 0xCB, 0xF5};
  for (const uint8_t version : versions) {
    const std::size_t backlink = (version == 0x30 || version == 0x31) ? 263 : 0;
    const std::string bytes = DbfBytes(version, {{"A", 'C', 3}, {"B", 'N', 4}, {"C", 'M', 10}},
                                       {" ab   12         1", " cd   -3          "}, backlink);
    TempDir dir;
    const Table table = OpenBytes(dir, bytes);
    const std::vector<std::vector<std::string>> expected = {{"ab", "12", ""}, {"cd", "-3", ""}};
    EXPECT_EQ(AllText(table), expected) << std::hex << int{version};
  }
}

TEST(TableReadTest, Dbase7BinaryFieldsAreBigEndianWithTheSignFlipped) {
  const std::string row1 = " P1  " + Big(0x80000003u, 4) + Big(0x80000001u, 4) +
                           Big(Bits(1.5) | (uint64_t{1} << 63), 8) + Big(2460448, 4) +
                           Big(37800000, 4);  // 2024-05-17 10:30:00
  const std::string row2 = " P2  " + Big(0x7FFFFFFEu, 4) + Big(0x80000002u, 4) +
                           Big(~Bits(-2.5), 8) + std::string(8, '\0');
  const std::string row3 = " P3  " + std::string(4, '\0') + Big(0xFFFFFFFFu, 4) +
                           std::string(8, '\0') + std::string(8, '\0');
  for (const uint8_t version : {uint8_t{0x04}, uint8_t{0x8C}}) {
    const std::string bytes = DbfBytes(
        version, {{"A", 'C', 4}, {"B", 'I', 4}, {"C", '+', 4}, {"D", 'O', 8}, {"E", '@', 8}},
        {row1, row2, row3});
    TempDir dir;
    const Table table = OpenBytes(dir, bytes);
    const std::vector<std::vector<std::string>> expected = {
        {"P1", "3", "1", "1.5", "2024-05-17 10:30:00"},
        {"P2", "-2", "2", "-2.5", ""},
        {"P3", "", "2147483647", "", ""},  // zero bytes: not set
    };
    EXPECT_EQ(AllText(table), expected) << std::hex << int{version};
    EXPECT_EQ(table.Integer(1, 1), -2);
    EXPECT_EQ(table.Integer(2, 1), 0);
    EXPECT_EQ(table.Real(1, 3), -2.5);
  }
}

TEST(TableReadTest, FoxProBinaryFieldsAreLittleEndian) {
  const std::string bytes = DbfBytes(
      0x30, {{"A", 'C', 2}, {"B", 'B', 8}, {"C", 'I', 4}, {"D", 'Y', 8}, {"E", 'T', 8}},
      {" ab" + Little(Bits(0.1), 8) + Little(0xFFFFFFFEu, 4) + Little(123450, 8) +
           Little(2460448, 4) + Little(1000, 4),
       " cd" + Little(Bits(-3), 8) + Little(7, 4) + Little(uint64_t(-5), 8) + std::string(8, '\0')},
      263);
  TempDir dir;
  const Table table = OpenBytes(dir, bytes);
  const std::vector<std::vector<std::string>> expected = {
      {"ab", "0.1", "-2", "12.345", "2024-05-17 00:00:01"},
      {"cd", "-3", "7", "-0.0005", ""},
  };
  EXPECT_EQ(AllText(table), expected);
  EXPECT_EQ(table.Real(0, 1), 0.1);
  EXPECT_EQ(table.Integer(1, 1), -3);
}

TEST(TableReadTest, OtherTypesAndPadding) {
  // L, D and memo fields; a text field padded with zero bytes.
  const std::string bytes =
      DbfBytes(0x83, {{"A", 'L', 1}, {"B", 'D', 8}, {"C", 'M', 10}, {"D", 'C', 4}, {"E", 'G', 10}},
               {" T20240517" + Right("1", 10) + std::string("ab\0\0", 4) + Right("3", 10),
                " ?" + Left("", 8) + "0000000000" + Left("  x", 4) + Left("", 10)});
  TempDir dir;
  const Table table = OpenBytes(dir, bytes);
  const std::vector<std::vector<std::string>> expected = {{"T", "20240517", "", "ab", ""},
                                                          {"", "", "", "  x", ""}};
  EXPECT_EQ(AllText(table), expected);
}

TEST(TableReadTest, DeletedRowsAreNotSeen) {
  const std::string bytes =
      DbfBytes(0x03, {{"A", 'C', 2}, {"B", 'N', 2}}, {"*d1 1", " l1 2", "*d2 3", " l2 4", "*d3 5"});
  TempDir dir;
  const Table table = OpenBytes(dir, bytes);
  const std::vector<std::vector<std::string>> expected = {{"l1", "2"}, {"l2", "4"}};
  EXPECT_EQ(AllText(table), expected);
  TableCursor cursor(table);
  cursor.SetFilter("B", "4");
  ASSERT_FALSE(cursor.Eof());
  EXPECT_EQ(cursor.Row(), 1u);
}

TEST(TableReadTest, FindsTheFileAndFieldsWithoutRegardToCase) {
  const std::string bytes = DbfBytes(0x03, {{"Prof", 'C', 4}, {"DIA", 'N', 2}}, {" MGA  3"});
  TempDir dir;
  const Table table = OpenBytes(dir, bytes, "soluc.dbf");
  EXPECT_EQ(table.name(), "SOLUC");
  EXPECT_EQ(table.Field("PROF"), 0u);
  EXPECT_EQ(table.Field("dia"), 1u);
  EXPECT_EQ(table.FindField("HORA"), std::nullopt);
  EXPECT_EQ(Message([&] { table.Field("HORA"); }), "La tabla SOLUC no tiene el campo HORA");
}

TEST(TableReadTest, IntegerConversionErrorsNameTableFieldAndRow) {
  const std::string bytes =
      DbfBytes(0x03, {{"A", 'C', 4}, {"B", 'N', 12, 1}, {"C", 'N', 12}},
               {" " + Left("12", 4) + Right("1.0", 12) + Right("2147483647", 12),
                " " + Left("$1F", 4) + Right("1.5", 12) + Right("-2147483649", 12),
                " " + Left("abc", 4) + Right("", 12) + Right("", 12),
                " " + Left("12a", 4) + Right("12a", 12) + Right("", 12)});
  TempDir dir;
  const Table table = OpenBytes(dir, bytes);
  EXPECT_EQ(table.Integer(0, 0), 12);
  EXPECT_EQ(table.Integer(1, 0), 31);  // the toolkit's hexadecimal form
  EXPECT_EQ(table.Integer(0, 1), 1);
  EXPECT_EQ(table.Integer(0, 2), 2147483647);
  struct Case {
    std::size_t row, field;
    const char* message;
  };
  const Case cases[] = {
      {2, 0, "Tabla SOLUC, campo A, fila 3: 'abc' no es un valor entero válido"},
      {3, 0, "Tabla SOLUC, campo A, fila 4: '12a' no es un valor entero válido"},
      {1, 1, "Tabla SOLUC, campo B, fila 2: '1.5' no es un valor entero válido"},
      {1, 2, "Tabla SOLUC, campo C, fila 2: '-2147483649' no es un valor entero válido"},
      {2, 1, ""},  // empty number: 0, no error
  };
  for (const Case& c : cases) {
    if (*c.message == '\0') {
      EXPECT_EQ(table.Integer(c.row, c.field), 0);
      continue;
    }
    EXPECT_THROW(table.Integer(c.row, c.field), ConversionError);
    EXPECT_EQ(Message([&] { table.Integer(c.row, c.field); }), c.message);
  }
  // A number field that holds no number is damage, reported where it is read.
  const std::string damaged = Message([&] { table.Text(3, 1); });
  EXPECT_NE(damaged.find("está dañada: el campo B de la fila 4 no contiene un número válido"),
            std::string::npos)
      << damaged;
}

TEST(TableReadTest, FiltersMatchTextLiterally) {
  const std::string bytes = DbfBytes(
      0x03, {{"PROF", 'C', 4}, {"DIA", 'N', 2}},
      {" A*   1", " A    2", " O'N  3", " a    4", " A    5", " *    6", "  A   7", " A''  8"});
  TempDir dir;
  const Table table = OpenBytes(dir, bytes);
  const std::size_t prof = table.Field("PROF");
  struct Case {
    const char* value;
    std::vector<std::size_t> rows;
  };
  const Case cases[] = {
      {"A", {1, 4}}, {"A*", {0}}, {"O'N", {2}}, {"*", {5}},   {"A ", {1, 4}},
      {" A", {6}},   {"a", {3}},  {"", {}},     {"A''", {7}}, {"'A'", {}},
  };
  const auto groups = table.GroupBy(prof);
  for (const Case& c : cases) {
    EXPECT_EQ(table.RowsWhere(prof, c.value), c.rows) << c.value;
    const auto group = groups.find(c.value);
    if (!c.rows.empty() && std::string_view(c.value).back() != ' ') {
      ASSERT_NE(group, groups.end()) << c.value;
      EXPECT_EQ(group->second, c.rows) << c.value;
    }
  }
  EXPECT_EQ(groups.size(), 7u);
}

TEST(TableReadTest, CursorWalksAllRowsOrTheFilteredOnes) {
  const std::string bytes =
      DbfBytes(0x03, {{"PROF", 'C', 4}, {"DIA", 'N', 2}}, {" A    1", " B    2", " A    3"});
  TempDir dir;
  const Table table = OpenBytes(dir, bytes);
  TableCursor cursor(table);
  std::vector<int32_t> seen;
  for (cursor.First(); !cursor.Eof(); cursor.Next()) seen.push_back(cursor.Integer("DIA"));
  EXPECT_EQ(seen, (std::vector<int32_t>{1, 2, 3}));
  EXPECT_THROW(cursor.Row(), Error);
  cursor.Next();  // stays at the end
  EXPECT_TRUE(cursor.Eof());

  cursor.SetFilter("prof", "A");
  seen.clear();
  for (; !cursor.Eof(); cursor.Next()) seen.push_back(cursor.Integer("DIA"));
  EXPECT_EQ(seen, (std::vector<int32_t>{1, 3}));
  cursor.First();
  EXPECT_EQ(cursor.Text("DIA"), "1");

  cursor.SetFilter("PROF", "C");
  EXPECT_TRUE(cursor.Eof());
  cursor.ClearFilter();
  EXPECT_EQ(cursor.Text("PROF"), "A");
  EXPECT_THROW(cursor.Text("HORA"), Error);
}

}  // namespace
}  // namespace tvb
