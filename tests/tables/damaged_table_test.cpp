// A damaged table file is a clear error naming the table, never a crash or a read
// past the buffer (the sanitizer build watches the reads).
#include <gtest/gtest.h>

#include <functional>

#include "tables/table.h"
#include "tests/support/temp_dir.h"
#include "tests/tables/dbf_bytes.h"
#include "text/error.h"

namespace tvb {
namespace {

using testing::DbfBytes;
using testing::PutLittle;
using testing::TempDir;

// Two fields (header 97 bytes, records of 8 bytes), two rows.
std::string GoodFile() {
  return DbfBytes(0x03, {{"PROF", 'C', 4}, {"DIA", 'N', 3}}, {" MGA   1", " ABC  12"});
}

std::string Changed(const std::function<void(std::string&)>& change,
                    std::string bytes = GoodFile()) {
  change(bytes);
  return bytes;
}

// Opens the bytes as SOLUC and reads every field of every row.
void OpenAndReadAll(const TempDir& dir, const std::string& bytes) {
  testing::WriteFile(dir / "SOLUC.DBF", bytes);
  const Table table = Table::Open(RealFileSystem(), dir.path(), "SOLUC");
  for (std::size_t row = 0; row < table.RowCount(); ++row) {
    for (std::size_t field = 0; field < table.FieldCount(); ++field) {
      static_cast<void>(table.Text(row, field));
    }
  }
}

TEST(DamagedTableTest, EachDamageIsAClearError) {
  struct Case {
    const char* what;
    std::string bytes;
    const char* reason;
  };
  const std::string good = GoodFile();
  const Case cases[] = {
      {"empty file", "", "el archivo mide 0 bytes, menos que una cabecera dBase"},
      {"cut inside the header", good.substr(0, 20), "el archivo mide 20 bytes"},
      {"cut inside the field list", good.substr(0, 60), "la cabecera dice medir 97 bytes"},
      {"cut inside the last record", good.substr(0, 97 + 8 + 5),
       "la cabecera anuncia 2 filas y el archivo solo contiene 1"},
      {"record count beyond the file", Changed([](auto& b) { PutLittle(b, 4, 1000, 4); }),
       "la cabecera anuncia 1000 filas y el archivo solo contiene 2"},
      {"largest record count", Changed([](auto& b) { PutLittle(b, 4, 0xFFFFFFFF, 4); }),
       "la cabecera anuncia 4294967295 filas"},
      {"header length beyond the file", Changed([](auto& b) { PutLittle(b, 8, 5000, 2); }),
       "la cabecera dice medir 5000 bytes y el archivo solo tiene 114"},
      {"header length below the least", Changed([](auto& b) { PutLittle(b, 8, 20, 2); }),
       "la cabecera dice medir 20 bytes, menos que los 33 mínimos"},
      {"header length that cuts the field list", Changed([](auto& b) { PutLittle(b, 8, 96, 2); }),
       "la lista de campos no termina dentro de la cabecera"},
      {"missing terminator", Changed([](auto& b) { b[96] = 'X'; }),
       "la lista de campos no termina dentro de la cabecera"},
      {"zero record length", Changed([](auto& b) { PutLittle(b, 10, 0, 2); }),
       "la longitud de registro es cero"},
      {"field lengths beyond the record", Changed([](auto& b) { PutLittle(b, 10, 6, 2); }),
       "los campos ocupan 8 bytes por registro y el registro solo mide 6"},
      {"no field at all", DbfBytes(0x03, {}, {}), "no tiene ningún campo"},
      {"binary field of the wrong length", DbfBytes(0x04, {{"DIA", 'I', 2}}, {}),
       "el campo DIA de tipo I mide 2 bytes en lugar de 4"},
      {"dBase 7 header cut short", Changed([](auto& b) { b[0] = 0x04; }),
       "la lista de campos no termina dentro de la cabecera"},
      {"dBase 7 header below the least", Changed([](auto& b) {
         b[0] = 0x04;
         PutLittle(b, 8, 60, 2);
       }),
       "la cabecera dice medir 60 bytes, menos que los 69 mínimos"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    try {
      OpenAndReadAll(dir, c.bytes);
      ADD_FAILURE() << c.what << ": opened";
    } catch (const Error& error) {
      const std::string message = error.what();
      const std::string prefix =
          "La tabla SOLUC («" + (dir / "SOLUC.DBF").string() + "») está dañada: ";
      EXPECT_EQ(message.substr(0, prefix.size()), prefix) << c.what;
      EXPECT_NE(message.find(c.reason, prefix.size()), std::string::npos)
          << c.what << ": " << message;
    }
  }
}

// Whatever is cut off or overwritten, opening and reading either succeeds or
// throws Error.
TEST(DamagedTableTest, NoDamageReadsPastTheFile) {
  const std::string good = GoodFile();
  TempDir dir;
  auto survives = [&](const std::string& bytes) {
    try {
      OpenAndReadAll(dir, bytes);
    } catch (const Error&) {
    }
  };
  for (std::size_t size = 0; size < good.size(); ++size) survives(good.substr(0, size));
  for (std::size_t at = 0; at < 97; ++at) {
    for (const char value : {'\0', '\x0D', '\x7F', '\xFF'}) {
      survives(Changed([&](std::string& b) { b[at] = value; }));
    }
  }
}

}  // namespace
}  // namespace tvb
