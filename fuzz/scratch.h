// A scratch directory for one fuzzing process, and the checks the targets share.
// Each target keeps one ScratchDir for its whole run and writes every input into
// it; the directory goes away when the process ends normally.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "tests/support/temp_dir.h"

namespace tvb::fuzz {

// The scratch directory and whole-file reads and writes of the tests.
using ScratchDir = testing::TempDir;
inline void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
  testing::WriteFile(path, bytes);
}
inline std::string ReadBytes(const std::filesystem::path& path) { return testing::ReadFile(path); }

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
