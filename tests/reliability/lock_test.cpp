// Two runs on one table directory at once, each in its own process: the first is
// stopped at a chosen file operation while the second runs. One wins, the other
// gets a clear message, and nothing is corrupted.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <optional>

#include "tests/reliability/table_sets.h"
#include "tests/support/faulty_file_system.h"

namespace tvb {
namespace {

using testing::FileOperation;
using testing::HookedFileSystem;
using testing::Operation;
using testing::SetSeen;
using RunOn = std::function<void(FileSystem&)>;

// A run in a child process that stops just before its `count`-th operation of
// kind `op` until Finish() lets it go on.
class StoppedRun {
 public:
  StoppedRun(const RunOn& run, Operation op, int count) {
    int stopped[2];
    int go[2];
    if (::pipe(stopped) != 0 || ::pipe(go) != 0) throw std::runtime_error("pipe");
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(stopped[0]);
      ::close(go[1]);
      RunInChild(run, op, count, stopped[1], go[0]);
    }
    ::close(stopped[1]);
    ::close(go[0]);
    go_ = go[1];
    char c = 0;
    stopped_ = ::read(stopped[0], &c, 1) == 1;
    ::close(stopped[0]);
  }
  StoppedRun(const StoppedRun&) = delete;
  StoppedRun& operator=(const StoppedRun&) = delete;
  ~StoppedRun() { static_cast<void>(Finish()); }

  // Whether the run reached the operation it stops at.
  bool stopped() const { return stopped_; }
  // Lets the run go on and waits for it; true when it succeeded.
  bool Finish() {
    if (pid_ <= 0) return false;
    ::close(go_);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }

 private:
  [[noreturn]] static void RunInChild(const RunOn& run, Operation op, int count, int stopped,
                                      int go) {
    int seen = 0;
    HookedFileSystem fs([&](const FileOperation& operation) {
      if (operation.op != op || ++seen != count) return;
      (void)!::write(stopped, "s", 1);
      char c;
      (void)!::read(go, &c, 1);
    });
    try {
      run(fs);
    } catch (const Error& e) {
      std::fprintf(stderr, "the stopped run failed: %s\n", e.what());
      ::_exit(1);
    }
    ::_exit(0);
  }

  pid_t pid_ = -1;
  int go_ = -1;
  bool stopped_ = false;
};

enum class Kind { kExport, kImport, kHoldSoluc };

struct LockCase {
  const char* what;
  Kind first;
  Operation stop_at;  // where the first run stops
  int count;
  Kind second;
  const char* message_part;  // the second run's message names it
  SetSeen tables_after;
};

TEST(LockTest, OfTwoRunsAtOnceOneWinsAndTheOtherIsToldWhy) {
  const LockCase cases[] = {
      {"two exports, the second while the first writes its tables", Kind::kExport,
       Operation::kCreate, 1, Kind::kExport, "ASIGNOMT", SetSeen::kNew},
      {"two exports, the second while the first puts its tables in place", Kind::kExport,
       Operation::kRename, 4, Kind::kExport, "otro proceso", SetSeen::kNew},
      {"an import while an export puts its tables in place", Kind::kExport, Operation::kRename, 4,
       Kind::kImport, "otro proceso", SetSeen::kNew},
      {"an export while an import writes its result", Kind::kImport, Operation::kCreate, 1,
       Kind::kExport, "ASIGNOMT", SetSeen::kOld},
      {"an import while another program holds SOLUC", Kind::kHoldSoluc, Operation::kCreate, 0,
       Kind::kImport, "SOLUC", SetSeen::kOld},
  };
  for (const LockCase& c : cases) {
    SCOPED_TRACE(c.what);
    testing::TableSets sets;
    const auto run = [&](Kind kind) -> RunOn {
      if (kind == Kind::kExport) {
        return [&](FileSystem& fs) { ExportarDocumento(fs, sets.new_document(), sets.tables()); };
      }
      return [&](FileSystem& fs) { ImportarDocumento(fs, sets.old_document(), sets.tables()); };
    };
    std::optional<StoppedRun> first;
    std::optional<testing::HoldingProcess> holder;
    if (c.first == Kind::kHoldSoluc) {
      holder.emplace(sets.tables() / "SOLUC.DBF");
    } else {
      first.emplace(run(c.first), c.stop_at, c.count);
      ASSERT_TRUE(first->stopped());
    }
    try {
      run(c.second)(RealFileSystem());
      ADD_FAILURE() << "the second run succeeded";
    } catch (const Error& e) {
      const std::string message = e.what();
      EXPECT_NE(message.find("en uso"), std::string::npos) << message;
      EXPECT_NE(message.find(c.message_part), std::string::npos) << message;
    }
    if (first) {
      EXPECT_TRUE(first->Finish());
    }
    EXPECT_EQ(sets.Seen(), c.tables_after);
    sets.ExpectTidy();
    // The result file is written whole by the import that won, by no other.
    EXPECT_EQ(std::filesystem::exists(sets.result()), c.first == Kind::kImport);
  }
}

}  // namespace
}  // namespace tvb
