// An export killed with SIGKILL at random moments (fixed seed): just before any of
// its file operations, or half way through a write. After each kill every table
// file reads whole; the next run (an import, or an export that fails in a step)
// finds the old set or the new one, never a mix, and leaves no temporary file or
// journal behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <random>

#include "tests/reliability/table_sets.h"
#include "tests/support/faulty_file_system.h"
#include "text/ansi.h"

namespace tvb {
namespace {

using testing::FileOperation;
using testing::HookedFileSystem;
using testing::Operation;
using testing::SetSeen;

constexpr int kRuns = 200;

// Exports `document` into `tables` in a child process that kills itself just
// before its `at`-th file operation, or after the run when it has fewer. Dying
// in a write, it first puts the share `torn` of the bytes on disk.
void ExportKilled(const Path& document, const Path& tables, int at, double torn) {
  const pid_t pid = ::fork();
  ASSERT_NE(pid, -1);
  if (pid == 0) {
    int seen = 0;
    HookedFileSystem fs([&](const FileOperation& op) {
      if (++seen < at) return;
      if (op.op == Operation::kWrite && torn > 0) {
        op.file->Write(op.bytes.substr(0, static_cast<std::size_t>(op.bytes.size() * torn)));
        op.file->Sync();
      }
      ::raise(SIGKILL);
    });
    try {
      ExportarDocumento(fs, document, tables);
    } catch (...) {
      // Whatever happened, the process dies below as a killed one would.
    }
    ::raise(SIGKILL);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
}

// The bytes of table `name` in `set`, its file found without regard to letter case.
std::string TableIn(const testing::Snapshot& set, std::string_view name) {
  for (const auto& [file, bytes] : set) {
    if (AsciiUpper(file) == std::string(name) + ".DBF") return bytes;
  }
  return "";
}

int CountOperations(const testing::TableSets& sets) {
  int operations = 0;
  HookedFileSystem fs([&](const FileOperation&) { ++operations; });
  ExportarDocumento(fs, sets.new_document(), sets.tables());
  testing::Restore(sets.tables(), sets.old_files());
  return operations;
}

// The next run after a kill; both kinds begin by repairing the directory.
void NextRun(const testing::TableSets& sets, int run, const Path& failing_export) {
  try {
    if (run % 2 == 0) {
      ImportarDocumento(RealFileSystem(), sets.old_document(), sets.tables());
      return;
    }
    ExportarDocumento(RealFileSystem(), failing_export, sets.tables());
    ADD_FAILURE() << "the export of a document with a bad value succeeded";
  } catch (const Error& e) {
    if (run % 2 == 0) ADD_FAILURE() << "the import failed: " << e.what();
  }
}

TEST(CrashSafetyTest, AKilledExportLeavesTheOldSetOrTheNewOne) {
  // A kill loses nothing that reached the kernel, synced or not; in memory, where
  // syncing costs nothing, the runs are many times faster.
  testing::TableSets sets(std::filesystem::is_directory("/dev/shm")
                              ? "/dev/shm"
                              : std::filesystem::temp_directory_path());
  for (const TableDef* def : tables::kExportTables) {
    ASSERT_NE(TableIn(sets.old_set(), def->name), TableIn(sets.new_set(), def->name)) << def->name;
  }
  const Path failing_export = sets.new_document().parent_path() / "mal.xml";
  testing::WriteFile(failing_export, testing::School("C", "mucho"));
  const int operations = CountOperations(sets);

  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> moment(1, operations + 1);
  std::uniform_real_distribution<double> share(0.0, 1.0);
  int killed[3] = {}, next[3] = {};
  for (int run = 0; run < kRuns; ++run) {
    const int at = moment(random);
    const double torn = share(random) < 0.5 ? share(random) : 0.0;
    ExportKilled(sets.new_document(), sets.tables(), at, torn);
    SCOPED_TRACE("run " + std::to_string(run) + ", killed before operation " + std::to_string(at));
    testing::ExpectWholeTables(sets.tables());
    ++killed[static_cast<int>(sets.Seen())];
    NextRun(sets, run, failing_export);
    const SetSeen seen = sets.Seen();
    ++next[static_cast<int>(seen)];
    EXPECT_NE(seen, SetSeen::kMixed);
    sets.ExpectTidy();
    testing::Restore(sets.tables(), sets.old_files());
  }
  std::printf(
      "%d exports killed at %d moments: right after the kill old set %d, new set %d, mixed %d; "
      "after the next run old set %d, new set %d, mixed %d\n",
      kRuns, operations + 1, killed[0], killed[1], killed[2], next[0], next[1], next[2]);
  EXPECT_EQ(next[2], 0);
}

}  // namespace
}  // namespace tvb
