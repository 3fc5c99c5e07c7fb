// Every create, write, sync, close, rename and link of an export and of an import
// made to fail in turn, as a full disk or a failing device would: each time the
// run must end with the error, and the table directory and the document's
// directory (with an earlier result file) must be byte for byte as before.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "tests/reliability/table_sets.h"
#include "tests/support/faulty_file_system.h"

namespace tvb {
namespace {

using testing::FailAt;
using testing::HookedFileSystem;
using testing::Snapshot;
using RunOn = std::function<void(FileSystem&)>;

struct Walk {
  int points = 0;
  int survived = 0;
  std::map<testing::Operation, int> by_kind;
};

std::vector<Snapshot> TakeSnapshots(const std::vector<Path>& dirs) {
  std::vector<Snapshot> snapshots;
  for (const Path& dir : dirs) snapshots.push_back(testing::TakeSnapshot(dir));
  return snapshots;
}

void Restore(const std::vector<Path>& dirs, const std::vector<Snapshot>& snapshots) {
  for (std::size_t i = 0; i < dirs.size(); ++i) testing::Restore(dirs[i], snapshots[i]);
}

// Runs `run` once cleanly to count the points, then once failing at each.
Walk WalkFaults(const RunOn& run, const std::vector<Path>& dirs) {
  const std::vector<Snapshot> before = TakeSnapshots(dirs);
  FailAt count(0);
  HookedFileSystem counting(std::ref(count));
  run(counting);
  Walk walk{count.seen(), 0, count.counts()};
  EXPECT_NE(TakeSnapshots(dirs), before) << "the clean run changed nothing";
  for (int n = 1; n <= walk.points; ++n) {
    Restore(dirs, before);
    FailAt fail(n);
    HookedFileSystem fs(std::ref(fail));
    try {
      run(fs);
      ADD_FAILURE() << "fault " << n << ": the run succeeded";
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find(fail.injected()), std::string::npos)
          << "fault " << n << ": " << e.what();
    }
    const bool unchanged = TakeSnapshots(dirs) == before;
    EXPECT_TRUE(unchanged) << "fault " << n << " (" << fail.injected() << ") changed a directory";
    walk.survived += unchanged;
  }
  Restore(dirs, before);
  return walk;
}

// `run` on a file system that has no hard links.
RunOn WithoutHardLinks(RunOn run) {
  return [run](FileSystem& fs) {
    HookedFileSystem no_links([](const testing::FileOperation&) {}, fs, false);
    run(no_links);
  };
}

void Report(const char* what, const Walk& walk) {
  std::string kinds;
  for (const auto& [op, n] : walk.by_kind)
    kinds += " " + std::string(Name(op)) + " " + std::to_string(n);
  std::printf("%s: %d fault points (%s ), %d left everything as before\n", what, walk.points,
              kinds.c_str() + 1, walk.survived);
}

TEST(FaultInjectionTest, EveryFailingOperationOfARunLeavesEverythingAsBefore) {
  testing::TableSets sets;
  const Path tables = sets.tables();
  const Path docs = sets.result().parent_path();
  const testing::TempDir empty_dir;
  const Path empty = empty_dir.path();
  const RunOn export_over = [&](FileSystem& fs) {
    ExportarDocumento(fs, sets.new_document(), tables);
  };
  const RunOn export_into_empty = [&](FileSystem& fs) {
    ExportarDocumento(fs, sets.new_document(), empty);
  };
  const RunOn import = [&](FileSystem& fs) { ImportarDocumento(fs, sets.old_document(), tables); };
  const struct {
    const char* what;
    RunOn run;
    std::vector<Path> dirs;
    const char* earlier_result;  // nullptr: none
  } cases[] = {
      {"export over an earlier set", export_over, {tables}, nullptr},
      {"export over an earlier set, without hard links",
       WithoutHardLinks(export_over),
       {tables},
       nullptr},
      {"export into an empty directory", export_into_empty, {empty}, nullptr},
      {"import over an earlier result", import, {tables, docs}, "earlier result"},
      {"import over an earlier result, without hard links",
       WithoutHardLinks(import),
       {tables, docs},
       "earlier result"},
      {"import, first result", import, {tables, docs}, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.earlier_result != nullptr) testing::WriteFile(sets.result(), c.earlier_result);
    const Walk walk = WalkFaults(c.run, c.dirs);
    EXPECT_GT(walk.points, 5);
    EXPECT_EQ(walk.survived, walk.points);
    Report(c.what, walk);
    std::filesystem::remove(sets.result());
  }
  // Nothing a failed run left behind stops the next one.
  ExportarDocumento(RealFileSystem(), sets.new_document(), tables);
  EXPECT_EQ(sets.Seen(), testing::SetSeen::kNew);
  sets.ExpectTidy();
}

}  // namespace
}  // namespace tvb
