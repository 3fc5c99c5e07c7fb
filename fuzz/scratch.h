// A scratch directory for one fuzzing process, and the checks the targets share.
// Each target keeps one ScratchDir for its whole run and writes every input into
// it; the directory goes away when the process ends normally.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tvb::fuzz {

class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tvb-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

inline void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Removes everything inside `dir`, keeping `dir` itself.
inline void EmptyDirectory(const std::filesystem::path& dir) {
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    std::filesystem::remove_all(entry.path());
  }
}

inline bool IsEmptyDirectory(const std::filesystem::path& dir) {
  return std::filesystem::directory_iterator(dir) == std::filesystem::directory_iterator();
}

// A broken promise of the code under test: reported as a crash, so that libFuzzer
// keeps the input.
[[noreturn]] inline void Broken(std::string_view what) {
  std::fprintf(stderr, "tvb fuzz check failed: %.*s\n", static_cast<int>(what.size()), what.data());
  std::abort();
}

}  // namespace tvb::fuzz
