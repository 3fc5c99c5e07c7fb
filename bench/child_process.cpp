#include "bench/child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

#include "files/descriptor.h"

namespace tvb::bench {
namespace {

class SpawnActions {
 public:
  SpawnActions() { ::posix_spawn_file_actions_init(&actions_); }
  SpawnActions(const SpawnActions&) = delete;
  SpawnActions& operator=(const SpawnActions&) = delete;
  ~SpawnActions() { ::posix_spawn_file_actions_destroy(&actions_); }
  posix_spawn_file_actions_t* get() { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
};

[[noreturn]] void Fail(const std::string& what, int error) {
  throw std::runtime_error(what + ": " + std::strerror(error));
}

std::string ReadUntilEnd(int fd) {
  std::string text;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return text;
    text.append(buffer, static_cast<std::size_t>(n));
  }
}

pid_t Spawn(const std::vector<std::string>& argv, int output) {
  SpawnActions actions;
  ::posix_spawn_file_actions_addopen(actions.get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  ::posix_spawn_file_actions_adddup2(actions.get(), output, STDOUT_FILENO);
  ::posix_spawn_file_actions_adddup2(actions.get(), output, STDERR_FILENO);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  const int error = ::posix_spawn(&pid, args[0], actions.get(), nullptr, args.data(), environ);
  if (error != 0) Fail("No se pudo ejecutar " + argv[0], error);
  return pid;
}

}  // namespace

ChildRun RunChild(const std::vector<std::string>& argv) {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) Fail("No se pudo crear una tubería", errno);
  Descriptor read_end(ends[0]);
  Descriptor write_end(ends[1]);

  ChildRun run;
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = Spawn(argv, write_end.get());
  write_end.Reset();
  run.output = ReadUntilEnd(read_end.get());
  int status = 0;
  struct rusage usage {};
  while (::wait4(pid, &status, 0, &usage) < 0) {
    if (errno != EINTR) Fail("No se pudo esperar a " + argv[0], errno);
  }
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  run.cpu_seconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
  run.peak_bytes = static_cast<std::size_t>(usage.ru_maxrss) * 1024;  // kilobytes on Linux
  run.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

}  // namespace tvb::bench
