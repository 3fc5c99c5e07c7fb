// Finding and holding a table: a missing table, a table that another program
// holds, and the lock that an open table keeps until it is closed.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tables/table.h"
#include "tests/support/directory_snapshot.h"
#include "tests/support/temp_dir.h"
#include "tests/tables/dbf_bytes.h"
#include "text/error.h"

namespace tvb {
namespace {

using testing::TempDir;

std::string SmallTable() { return testing::DbfBytes(0x03, {{"PROF", 'C', 4}}, {" MGA "}); }

std::string OpenError(const Path& dir, std::string_view name) {
  try {
    Table::Open(RealFileSystem(), dir, name);
  } catch (const Error& error) {
    return error.what();
  }
  return "(opened)";
}

TEST(TableOpenTest, AMissingTableOrDirectoryIsNamed) {
  TempDir dir;
  EXPECT_EQ(OpenError(dir.path(), "SOLUC"),
            "No existe la tabla SOLUC en «" + dir.path().string() + "»");
  testing::WriteFile(dir / "SOLUC.MDX", "");
  testing::WriteFile(dir / "SOLUCX.DBF", SmallTable());
  EXPECT_EQ(OpenError(dir.path(), "SOLUC"),
            "No existe la tabla SOLUC en «" + dir.path().string() + "»");
  const Path missing = dir / "nada";
  EXPECT_EQ(OpenError(missing, "SOLUC"),
            "No existe la tabla SOLUC: no existe la carpeta «" + missing.string() + "»");
}

TEST(TableOpenTest, ATableHeldByAnotherProgramDoesNotOpen) {
  TempDir dir;
  testing::WriteFile(dir / "soluc.dbf", SmallTable());
  {
    testing::HoldingProcess other(dir / "soluc.dbf");
    EXPECT_THROW(Table::Open(RealFileSystem(), dir.path(), "SOLUC"), FileBusyError);
    EXPECT_EQ(OpenError(dir.path(), "SOLUC"), "La tabla SOLUC está en uso por otro programa («" +
                                                  (dir / "soluc.dbf").string() + "»)");
  }
  EXPECT_EQ(Table::Open(RealFileSystem(), dir.path(), "SOLUC").RowCount(), 1u);
}

TEST(TableOpenTest, AnOpenTableIsHeldUntilClosed) {
  TempDir dir;
  const Path file = dir / "PROFT.DBF";
  testing::WriteFile(file, SmallTable());
  FileSystem& fs = RealFileSystem();
  {
    Table table = Table::Open(fs, dir.path(), "PROFT");
    EXPECT_TRUE(fs.IsHeld(file));
    EXPECT_THROW(Table::Open(fs, dir.path(), "PROFT"), FileBusyError);
    Table moved = std::move(table);
    EXPECT_TRUE(fs.IsHeld(file));
    EXPECT_EQ(moved.Text(0, 0), "MGA");
    moved.Close();
    EXPECT_FALSE(fs.IsHeld(file));
    EXPECT_EQ(moved.name(), "PROFT");
    try {
      static_cast<void>(moved.RowCount());
      ADD_FAILURE() << "a closed table was read";
    } catch (const Error& error) {
      EXPECT_STREQ(error.what(), "La tabla PROFT está cerrada");
    }
    moved.Close();  // closing twice changes nothing
  }
  {
    const Table table = Table::Open(fs, dir.path(), "PROFT");
    EXPECT_TRUE(fs.IsHeld(file));
  }
  EXPECT_FALSE(fs.IsHeld(file));  // released by the destructor
}

}  // namespace
}  // namespace tvb
