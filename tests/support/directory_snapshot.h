// Every file of a directory with its bytes, to show that a failed run changed
// nothing, and a second process that holds a file locked, as another program would.
#pragma once

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>

#include "tests/support/temp_dir.h"

namespace tvb::testing {

using Snapshot = std::map<std::string, std::string>;

inline Snapshot TakeSnapshot(const std::filesystem::path& dir) {
  Snapshot files;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    files[entry.path().filename().string()] = ReadFile(entry.path());
  }
  return files;
}

// A child process that holds `path` under an exclusive lock until destroyed.
class HoldingProcess {
 public:
  explicit HoldingProcess(const std::filesystem::path& path) {
    int ready[2];
    int release[2];
    if (::pipe(ready) != 0 || ::pipe(release) != 0) throw std::runtime_error("pipe");
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(ready[0]);
      ::close(release[1]);  // else the child keeps the pipe open and never sees its end
      const int fd = ::open(path.c_str(), O_RDONLY);
      const char ok = fd >= 0 && ::flock(fd, LOCK_EX) == 0 ? '1' : '0';
      (void)!::write(ready[1], &ok, 1);
      char c;
      (void)!::read(release[0], &c, 1);
      ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    release_ = release[1];
    char ok = '0';
    (void)!::read(ready[0], &ok, 1);
    ::close(ready[0]);
    if (ok != '1') throw std::runtime_error("the child could not lock " + path.string());
  }
  HoldingProcess(const HoldingProcess&) = delete;
  HoldingProcess& operator=(const HoldingProcess&) = delete;
  ~HoldingProcess() {
    ::close(release_);
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }

 private:
  pid_t pid_ = -1;
  int release_ = -1;
};

// Files in `dir` whose name ends in the temporary-file suffix.
inline int CountTemporaries(const std::filesystem::path& dir) {
  int n = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().filename().string().ends_with(".tvbtmp")) ++n;
  }
  return n;
}

}  // namespace tvb::testing
