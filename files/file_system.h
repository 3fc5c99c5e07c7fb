// The one file layer of the core. Every open, read, write, sync, rename, remove,
// directory listing and lock of the core goes through a FileSystem, so that tests
// can make any single operation fail (disk full, I/O error) and check that nothing
// is lost. RealFileSystem() is the operating system's.
//
// Locks are exclusive advisory locks (flock on POSIX) held for the life of the
// object that took them; a file locked by another process is reported at once,
// never waited for.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/error.h"

namespace tvb {

using Path = std::filesystem::path;

// A file or directory operation failed; the message names the path and the cause.
class FileError : public Error {
 public:
  using Error::Error;
};

// The file is held (locked) by another process.
class FileBusyError : public FileError {
 public:
  using FileError::FileError;
};

// A new file being written. It is locked from creation until it is closed or
// destroyed; destroying it without Close() closes it and ignores errors.
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  virtual void Write(std::string_view bytes) = 0;
  // Writes buffered bytes and makes them durable (fsync).
  virtual void Sync() = 0;
  virtual void Close() = 0;
};

// An existing file held open under an exclusive lock until destroyed.
class HeldFile {
 public:
  virtual ~HeldFile() = default;
  // The whole contents, read through the held descriptor.
  virtual std::string ReadAll() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  virtual bool Exists(const Path& path) = 0;
  virtual bool IsDirectory(const Path& path) = 0;
  virtual std::string ReadAll(const Path& path) = 0;
  // Throws FileBusyError when another process holds the file.
  virtual std::unique_ptr<HeldFile> Hold(const Path& path) = 0;
  // Creates a new file; fails if it exists.
  virtual std::unique_ptr<OutputFile> Create(const Path& path) = 0;
  // Replaces `to` atomically where it exists.
  virtual void Rename(const Path& from, const Path& to) = 0;
  // Gives the file `from` the further name `to` (a hard link); fails when `to`
  // exists. Both names then show the same file. Returns false, changing nothing,
  // where the file system has no hard links.
  virtual bool Link(const Path& from, const Path& to) = 0;
  virtual void Remove(const Path& path) = 0;
  // Names of the entries of `dir`, without "." and "..".
  virtual std::vector<std::string> List(const Path& dir) = 0;
  // Makes renames and removals in `dir` durable.
  virtual void SyncDirectory(const Path& dir) = 0;
  // True when some live process holds a lock on the file.
  virtual bool IsHeld(const Path& path) = 0;
};

FileSystem& RealFileSystem();

// The entry of `dir` whose name equals `name` without regard to ASCII letter case,
// as Windows finds files ("soluc.dbf" is "SOLUC.DBF"). An exact match wins.
std::optional<Path> FindIgnoringCase(FileSystem& fs, const Path& dir, std::string_view name);

// Every entry of `dir` whose name equals `name` without regard to ASCII letter case.
std::vector<Path> FindAllIgnoringCase(FileSystem& fs, const Path& dir, std::string_view name);

// The name of a fresh temporary file beside `target`, ending in kTemporarySuffix.
Path TemporaryPathFor(const Path& target);
inline constexpr std::string_view kTemporarySuffix = ".tvbtmp";

// A file that replaces `target` whole or not at all: bytes go to a temporary file
// beside it, and Commit() syncs it and renames it over `target`. Destroyed without
// Commit(), or when Commit() fails at any step, the temporary is removed and
// `target` is as before.
class AtomicFile {
 public:
  AtomicFile(FileSystem& fs, Path target);
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;
  ~AtomicFile();

  void Write(std::string_view bytes) { file_->Write(bytes); }
  void Commit();
  const Path& temporary() const { return temporary_; }

 private:
  // After a failed commit: the earlier file back in place, its backup name gone.
  void PutBack(bool renamed, const std::optional<Path>& earlier);

  FileSystem& fs_;
  Path target_;
  Path temporary_;
  std::unique_ptr<OutputFile> file_;
  bool committed_ = false;
};

// Removes `path` where it exists, ignoring errors: for clean-up on paths where a
// failure can only leave a stray file behind.
void RemoveQuietly(FileSystem& fs, const Path& path);

// Writes `bytes` to `target` through an AtomicFile.
void WriteFileAtomically(FileSystem& fs, const Path& target, std::string_view bytes);

// Displays a path to the user (UTF-8).
std::string ShowPath(const Path& path);

}  // namespace tvb
