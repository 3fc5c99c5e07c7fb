// A FileSystem for tests that passes every call on to the real one and, before
// each operation that changes the disk, calls a hook with what is about to
// happen. The hook decides: it may throw the error a full disk or a failing
// device would give (FailAt), kill the process (crash tests) or wait (lock tests).
#pragma once

#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files/file_system.h"

namespace tvb::testing {

enum class Operation { kCreate, kWrite, kSync, kClose, kRename, kLink, kSyncDirectory, kRemove };

inline const char* Name(Operation op) {
  constexpr const char* kNames[] = {"create", "write", "sync",           "close",
                                    "rename", "link",  "sync directory", "remove"};
  return kNames[static_cast<int>(op)];
}

// The verb of the system's own message for `op` ("No se pudo escribir ...").
inline const char* Verb(Operation op) {
  constexpr const char* kVerbs[] = {
      "crear", "escribir", "escribir", "cerrar", "renombrar", "enlazar", "sincronizar la carpeta",
      "borrar"};
  return kVerbs[static_cast<int>(op)];
}

struct FileOperation {
  Operation op;
  const Path& path;
  OutputFile* file = nullptr;   // the real file written, synced or closed
  std::string_view bytes = {};  // what a write is about to write
};

using Hook = std::function<void(const FileOperation&)>;

class HookedFileSystem : public FileSystem {
 public:
  // `hard_links` false: as a file system without hard links, Link() does nothing.
  explicit HookedFileSystem(Hook hook, FileSystem& base = RealFileSystem(), bool hard_links = true)
      : hook_(std::move(hook)), base_(base), hard_links_(hard_links) {}

  bool Exists(const Path& path) override { return base_.Exists(path); }
  bool IsDirectory(const Path& path) override { return base_.IsDirectory(path); }
  std::string ReadAll(const Path& path) override { return base_.ReadAll(path); }
  std::unique_ptr<HeldFile> Hold(const Path& path) override { return base_.Hold(path); }
  std::unique_ptr<OutputFile> Create(const Path& path) override {
    hook_({Operation::kCreate, path});
    return std::make_unique<File>(base_.Create(path), path, hook_);
  }
  void Rename(const Path& from, const Path& to) override {
    hook_({Operation::kRename, from});
    base_.Rename(from, to);
  }
  bool Link(const Path& from, const Path& to) override {
    if (!hard_links_) return false;
    hook_({Operation::kLink, from});
    return base_.Link(from, to);
  }
  void Remove(const Path& path) override {
    hook_({Operation::kRemove, path});
    base_.Remove(path);
  }
  std::vector<std::string> List(const Path& dir) override { return base_.List(dir); }
  void SyncDirectory(const Path& dir) override {
    hook_({Operation::kSyncDirectory, dir});
    base_.SyncDirectory(dir);
  }
  bool IsHeld(const Path& path) override { return base_.IsHeld(path); }

 private:
  class File : public OutputFile {
   public:
    File(std::unique_ptr<OutputFile> base, Path path, Hook& hook)
        : base_(std::move(base)), path_(std::move(path)), hook_(hook) {}
    void Write(std::string_view bytes) override {
      hook_({Operation::kWrite, path_, base_.get(), bytes});
      base_->Write(bytes);
    }
    void Sync() override {
      hook_({Operation::kSync, path_, base_.get()});
      base_->Sync();
    }
    void Close() override {
      hook_({Operation::kClose, path_, base_.get()});
      base_->Close();
    }

   private:
    std::unique_ptr<OutputFile> base_;
    Path path_;
    Hook& hook_;
  };

  Hook hook_;
  FileSystem& base_;
  bool hard_links_;
};

// The error the system would give for `op` on `path`: out of space for writes
// and syncs, an input/output error otherwise.
inline FileError InjectedError(const FileOperation& op) {
  const bool full = op.op == Operation::kWrite || op.op == Operation::kSync;
  return FileError("No se pudo " + std::string(Verb(op.op)) + " " + ShowPath(op.path) + ": " +
                   std::strerror(full ? ENOSPC : EIO));
}

// The operations that a disk can refuse and a run must survive; removals are
// clean-up, where a failure can only leave a stray file.
inline bool CanFail(Operation op) { return op != Operation::kRemove; }

// A hook that makes the `n`-th operation that can fail (counted from 1) fail,
// and counts them all by kind; n = 0 fails none. Pass it as std::ref(fail_at) to
// read the counts afterwards.
class FailAt {
 public:
  explicit FailAt(int n) : n_(n) {}
  void operator()(const FileOperation& op) {
    if (!CanFail(op.op)) return;
    ++counts_[op.op];
    if (++seen_ != n_) return;
    FileError error = InjectedError(op);
    injected_ = error.what();
    throw error;
  }
  int seen() const { return seen_; }
  const std::map<Operation, int>& counts() const { return counts_; }
  // The message of the error thrown, empty while none was.
  const std::string& injected() const { return injected_; }

 private:
  int n_;
  std::string injected_;
  int seen_ = 0;
  std::map<Operation, int> counts_;
};

}  // namespace tvb::testing
