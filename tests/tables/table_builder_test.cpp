#include "tables/table_builder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tables/table.h"
#include "tests/support/temp_dir.h"
#include "text/ansi.h"
#include "text/error.h"

namespace tvb {
namespace {

using testing::TempDir;

constexpr FieldDef kSampleFields[] = {
    {"NOMBRE", FieldKind::kText, 5},
    {"DNI", FieldKind::kInteger, 0},
    {"HORAS", FieldKind::kReal, 0},
    {"CLAVE", FieldKind::kText, 3},
};
constexpr TableDef kSample{"MUESTRA", kSampleFields};
constexpr std::size_t kNombre = kSample.Index("NOMBRE");
constexpr std::size_t kDni = kSample.Index("DNI");
constexpr std::size_t kHoras = kSample.Index("HORAS");
constexpr std::size_t kClave = kSample.Index("CLAVE");

constexpr std::chrono::year_month_day kDay = std::chrono::year(2024) / 5 / 17;

Table WriteAndOpen(const TempDir& dir, const TableBuilder& built) {
  testing::WriteFile(dir / (std::string(built.def().name) + ".DBF"), built.FileBytes(kDay));
  return Table::Open(RealFileSystem(), dir.path(), built.def().name);
}

unsigned Byte(const std::string& bytes, std::size_t at) {
  return static_cast<unsigned char>(bytes.at(at));
}

unsigned Little16(const std::string& bytes, std::size_t at) {
  return Byte(bytes, at) | Byte(bytes, at + 1) << 8;
}

TEST(TableBuilderTest, WritesADbase3File) {
  TableBuilder built(kSample);
  built.Append();
  built.Set(kNombre, "Ana");
  built.SetNumber(kDni, 42);
  built.SetNumber(kHoras, 1.5);
  built.Append();
  const std::string bytes = built.FileBytes(kDay);

  const std::size_t header_length = 32 + 32 * 4 + 1;
  const std::size_t record_length = 1 + 5 + 11 + 20 + 3;
  ASSERT_EQ(bytes.size(), header_length + 2 * record_length + 1);
  EXPECT_EQ(Byte(bytes, 0), 0x03u);
  EXPECT_EQ(Byte(bytes, 1), 124u);  // 2024 - 1900
  EXPECT_EQ(Byte(bytes, 2), 5u);
  EXPECT_EQ(Byte(bytes, 3), 17u);
  EXPECT_EQ(Little16(bytes, 4), 2u);
  EXPECT_EQ(Little16(bytes, 6), 0u);
  EXPECT_EQ(Little16(bytes, 8), header_length);
  EXPECT_EQ(Little16(bytes, 10), record_length);
  EXPECT_EQ(Byte(bytes, 29), 0x03u);  // Windows ANSI

  EXPECT_EQ(bytes.substr(32, 11), std::string("NOMBRE\0\0\0\0\0", 11));
  EXPECT_EQ(bytes[32 + 11], 'C');
  EXPECT_EQ(Byte(bytes, 32 + 16), 5u);
  EXPECT_EQ(bytes[64 + 11], 'N');
  EXPECT_EQ(Byte(bytes, 64 + 16), 11u);
  EXPECT_EQ(Byte(bytes, 64 + 17), 0u);
  EXPECT_EQ(bytes[96 + 11], 'N');
  EXPECT_EQ(Byte(bytes, 96 + 16), 20u);
  EXPECT_EQ(Byte(bytes, 96 + 17), 4u);
  EXPECT_EQ(Byte(bytes, header_length - 1), 0x0Du);

  EXPECT_EQ(bytes.substr(header_length, record_length), " Ana           42              1.5000   ");
  EXPECT_EQ(bytes.substr(header_length + record_length, record_length),
            std::string(record_length, ' '));
  EXPECT_EQ(Byte(bytes, bytes.size() - 1), 0x1Au);
}

TEST(TableBuilderTest, ReadsBackAsTheWrittenFileReads) {
  TableBuilder built(kSample);
  built.Append();
  built.Set(kNombre, Utf8ToAnsi("Matemáticas"));  // cut to its first five characters
  built.Set(kClave, "A'*");
  built.SetNumber(kDni, -7);
  built.SetNumber(kHoras, 3);
  built.Append();  // nothing set
  built.Append();
  built.Set(kNombre, "XXXXX");
  built.Set(kNombre, "Y");  // a second Set replaces the whole field
  built.Set(kClave, " b ");
  built.SetNumber(kHoras, -0.00001);

  const std::vector<std::vector<std::string>> expected = {
      {Utf8ToAnsi("Matem"), "-7", "3", "A'*"},
      {"", "", "", ""},
      {"Y", "", "0", " b"},
  };
  TempDir dir;
  const Table table = WriteAndOpen(dir, built);
  ASSERT_EQ(table.RowCount(), expected.size());
  ASSERT_EQ(built.RowCount(), expected.size());
  for (std::size_t row = 0; row < expected.size(); ++row) {
    for (std::size_t field = 0; field < kSample.fields.size(); ++field) {
      EXPECT_EQ(built.Text(row, field), expected[row][field]) << row << "," << field;
      EXPECT_EQ(table.Text(row, field), expected[row][field]) << row << "," << field;
    }
  }
}

TEST(TableBuilderTest, NumbersReadBackAsPlainDecimal) {
  struct Case {
    std::size_t field;
    double value;
    const char* text;
  };
  const Case cases[] = {
      {kHoras, 3, "3"},
      {kHoras, 1.5, "1.5"},
      {kHoras, -2.25, "-2.25"},
      {kHoras, 0.1, "0.1"},
      {kHoras, 1.23456, "1.2346"},
      {kHoras, 0, "0"},
      {kHoras, 1e14, "100000000000000"},
      {kDni, 42, "42"},
      {kDni, -2147483648.0, "-2147483648"},
      {kDni, 2.6, "3"},
      {kDni, 9999999999, "9999999999"},
  };
  TableBuilder built(kSample);
  for (const Case& c : cases) {
    built.Append();
    built.SetNumber(c.field, c.value);
  }
  TempDir dir;
  const Table table = WriteAndOpen(dir, built);
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    EXPECT_EQ(table.Text(row, cases[row].field), cases[row].text) << cases[row].value;
    EXPECT_EQ(built.Text(row, cases[row].field), cases[row].text) << cases[row].value;
  }
  EXPECT_EQ(table.Real(1, kHoras), 1.5);
  EXPECT_EQ(table.Integer(0, kHoras), 3);
  EXPECT_EQ(table.Integer(8, kDni), std::numeric_limits<int32_t>::min());
}

TEST(TableBuilderTest, ANumberThatDoesNotFitIsAnError) {
  const double values[] = {1e11, -1e10, std::nan(""), std::numeric_limits<double>::infinity()};
  for (const double value : values) {
    TableBuilder built(kSample);
    built.Append();
    try {
      built.SetNumber(kDni, value);
      ADD_FAILURE() << value << " was stored";
    } catch (const Error& error) {
      EXPECT_NE(std::string(error.what()).find("no cabe en el campo DNI de la tabla MUESTRA"),
                std::string::npos)
          << error.what();
    }
    EXPECT_EQ(built.Text(0, kDni), "");
  }
  TableBuilder built(kSample);
  built.Append();
  EXPECT_THROW(built.SetNumber(kHoras, 1e16), Error);  // 17 digits and 4 decimals
  EXPECT_NO_THROW(built.SetNumber(kHoras, 1e14));
}

TEST(TableBuilderTest, AnEmptyTableHasItsFieldsAndNoRows) {
  TempDir dir;
  const Table table = WriteAndOpen(dir, TableBuilder(kSample));
  EXPECT_EQ(table.RowCount(), 0u);
  EXPECT_EQ(table.Field("CLAVE"), kClave);
}

TEST(TableBuilderTest, MisuseIsAProgramError) {
  TableBuilder built(kSample);
  EXPECT_THROW(built.Set(kNombre, "x"), std::logic_error);  // before the first Append
  built.Append();
  EXPECT_THROW(built.Set(kDni, "1"), std::logic_error);
  EXPECT_THROW(built.SetNumber(kNombre, 1), std::logic_error);
  EXPECT_THROW(built.Set(kSample.fields.size(), "x"), std::logic_error);
  EXPECT_THROW(static_cast<void>(built.Text(1, kNombre)), std::logic_error);
}

}  // namespace
}  // namespace tvb
