#include "files/file_system.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

#include "files/descriptor.h"
#include "files/large_pages.h"
#include "text/ansi.h"

namespace tvb {
namespace {

// The cause of the last failed call, in the user's words where it is a common one.
std::string Cause() {
  switch (errno) {
    case ENOSPC:
      return "no queda espacio en el disco";
    case EDQUOT:
      return "se ha agotado la cuota de disco";
    case EIO:
      return "error de entrada/salida";
    case EACCES:
    case EPERM:
      return "permiso denegado";
    case ENOENT:
      return "no existe";
    case EROFS:
      return "el disco es de solo lectura";
    case ENOTDIR:
      return "una parte de la ruta no es una carpeta";
    case EISDIR:
      return "es una carpeta";
    default:
      return std::strerror(errno);
  }
}

[[noreturn]] void Fail(const std::string& what, const Path& path) {
  throw FileError("No se pudo " + what + " " + ShowPath(path) + ": " + Cause());
}

bool LockOrBusy(int fd, const Path& path) {
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
  if (errno == EWOULDBLOCK) return false;
  Fail("bloquear", path);
}

// Reads from the current offset to the end into one buffer sized by fstat, so
// that a large file is copied once; a file that grows meanwhile is still read whole.
std::string ReadDescriptor(int fd, const Path& path) {
  struct stat st {};
  const off_t at = ::lseek(fd, 0, SEEK_CUR);
  const bool sized = ::fstat(fd, &st) == 0 && at >= 0 && st.st_size > at;
  // One byte more than expected, so that the end is seen without growing.
  const std::size_t expected = sized ? static_cast<std::size_t>(st.st_size - at) + 1 : 1 << 16;
  std::string out;
  out.reserve(expected);
  PreferLargePages(out.data(), expected);
  out.resize(expected);
  std::size_t size = 0;
  for (;;) {
    if (size == out.size()) out.resize(out.size() * 2);
    const ssize_t n = ::read(fd, out.data() + size, out.size() - size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail("leer", path);
    if (n == 0) break;
    size += static_cast<std::size_t>(n);
  }
  out.resize(size);
  return out;
}

class PosixHeldFile : public HeldFile {
 public:
  PosixHeldFile(int fd, Path path) : fd_(fd), path_(std::move(path)) {}
  std::string ReadAll() override {
    if (::lseek(fd_.get(), 0, SEEK_SET) < 0) Fail("leer", path_);
    return ReadDescriptor(fd_.get(), path_);
  }

 private:
  Descriptor fd_;
  Path path_;
};

class PosixOutputFile : public OutputFile {
 public:
  PosixOutputFile(int fd, Path path) : fd_(fd), path_(std::move(path)) {}
  ~PosixOutputFile() override = default;

  void Write(std::string_view bytes) override {
    if (buffer_.size() + bytes.size() > kBufferSize) Flush();
    if (bytes.size() >= kBufferSize) {
      WriteOut(bytes);
    } else {
      buffer_.append(bytes);
    }
  }
  void Sync() override {
    Flush();
    if (::fsync(fd_.get()) != 0) Fail("escribir", path_);
  }
  void Close() override {
    Flush();
    if (!fd_.Reset()) Fail("cerrar", path_);
  }

 private:
  static constexpr size_t kBufferSize = 1 << 16;
  void Flush() {
    WriteOut(buffer_);
    buffer_.clear();
  }
  void WriteOut(std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t n = ::write(fd_.get(), bytes.data(), bytes.size());
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) Fail("escribir", path_);
      bytes.remove_prefix(static_cast<size_t>(n));
      written_ += static_cast<off_t>(n);
    }
    StartWriteBack();
  }
  // Asks the system to start putting what is written on disk while the rest is
  // still being made, so that the sync before the file is put in place has
  // little left to wait for. Only a hint: the sync reports any failure.
  void StartWriteBack() {
#ifdef __linux__
    if (written_ - written_back_ < kWriteBackStep) return;
    ::sync_file_range(fd_.get(), written_back_, written_ - written_back_, SYNC_FILE_RANGE_WRITE);
    written_back_ = written_;
#endif
  }

  static constexpr off_t kWriteBackStep = off_t{8} << 20;
  Descriptor fd_;
  Path path_;
  std::string buffer_;
  off_t written_ = 0;       // bytes handed to the file
  off_t written_back_ = 0;  // bytes whose write-back was asked for
};

class PosixFileSystem : public FileSystem {
 public:
  bool Exists(const Path& path) override {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  }
  bool IsDirectory(const Path& path) override {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }
  std::string ReadAll(const Path& path) override {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) Fail("abrir", path);
    return ReadDescriptor(fd.get(), path);
  }
  std::unique_ptr<HeldFile> Hold(const Path& path) override {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) Fail("abrir", path);
    if (!LockOrBusy(fd.get(), path)) {
      throw FileBusyError("El archivo " + ShowPath(path) + " está en uso por otro programa");
    }
    auto held = std::make_unique<PosixHeldFile>(fd.get(), path);
    static_cast<void>(fd.Release());
    return held;
  }
  std::unique_ptr<OutputFile> Create(const Path& path) override {
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    if (fd.get() < 0) Fail("crear", path);
    if (!LockOrBusy(fd.get(), path)) Fail("bloquear", path);
    auto file = std::make_unique<PosixOutputFile>(fd.get(), path);
    static_cast<void>(fd.Release());
    return file;
  }
  void Rename(const Path& from, const Path& to) override {
    if (::rename(from.c_str(), to.c_str()) != 0) Fail("renombrar", from);
  }
  bool Link(const Path& from, const Path& to) override {
    if (::link(from.c_str(), to.c_str()) == 0) return true;
    if (errno == EPERM || errno == EOPNOTSUPP) return false;
    Fail("enlazar", from);
  }
  void Remove(const Path& path) override {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) Fail("borrar", path);
  }
  std::vector<std::string> List(const Path& dir) override {
    std::error_code ec;
    std::vector<std::string> names;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
      names.push_back(it->path().filename().string());
    }
    if (ec) throw FileError("No se pudo leer la carpeta " + ShowPath(dir) + ": " + ec.message());
    return names;
  }
  void SyncDirectory(const Path& dir) override {
    Descriptor fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0 || ::fsync(fd.get()) != 0) Fail("sincronizar la carpeta", dir);
  }
  bool IsHeld(const Path& path) override {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return false;
    return !LockOrBusy(fd.get(), path);
  }
};

}  // namespace

void RemoveQuietly(FileSystem& fs, const Path& path) {
  try {
    fs.Remove(path);
  } catch (const Error&) {
    // The file stays behind; nothing more can be done here.
  }
}

FileSystem& RealFileSystem() {
  static PosixFileSystem fs;
  return fs;
}

std::string ShowPath(const Path& path) { return "«" + path.string() + "»"; }

std::vector<Path> FindAllIgnoringCase(FileSystem& fs, const Path& dir, std::string_view name) {
  std::vector<Path> found;
  const std::string wanted = AsciiUpper(name);
  for (const std::string& entry : fs.List(dir)) {
    if (AsciiUpper(entry) == wanted) found.push_back(dir / entry);
  }
  return found;
}

std::optional<Path> FindIgnoringCase(FileSystem& fs, const Path& dir, std::string_view name) {
  if (fs.Exists(dir / Path(std::string(name)))) return dir / Path(std::string(name));
  std::vector<Path> all = FindAllIgnoringCase(fs, dir, name);
  if (all.empty()) return std::nullopt;
  return all.front();
}

Path TemporaryPathFor(const Path& target) {
  std::random_device random;
  const std::string tag = std::to_string(::getpid()) + "-" + std::to_string(random() % 1000000);
  return target.parent_path() /
         (target.filename().string() + "." + tag + std::string(kTemporarySuffix));
}

AtomicFile::AtomicFile(FileSystem& fs, Path target)
    : fs_(fs), target_(std::move(target)), temporary_(TemporaryPathFor(target_)) {
  file_ = fs_.Create(temporary_);
}

AtomicFile::~AtomicFile() {
  if (committed_) return;
  file_.reset();
  RemoveQuietly(fs_, temporary_);
}

void AtomicFile::Commit() {
  file_->Sync();
  file_->Close();
  const Path dir = target_.parent_path().empty() ? Path(".") : target_.parent_path();
  // The earlier file keeps a second name until the new one is durably in place,
  // so that a failure at any step can put it back. Without hard links it is
  // renamed aside for that while.
  std::optional<Path> earlier;
  if (fs_.Exists(target_)) {
    earlier = TemporaryPathFor(target_);
    if (!fs_.Link(target_, *earlier)) fs_.Rename(target_, *earlier);
  }
  bool renamed = false;
  try {
    fs_.Rename(temporary_, target_);
    renamed = true;
    fs_.SyncDirectory(dir);
  } catch (const Error&) {
    PutBack(renamed, earlier);
    throw;
  }
  committed_ = true;
  if (earlier) RemoveQuietly(fs_, *earlier);
}

void AtomicFile::PutBack(bool renamed, const std::optional<Path>& earlier) {
  try {
    if (earlier) {
      // A second name of a target never replaced: the rename does nothing.
      fs_.Rename(*earlier, target_);
      fs_.Remove(*earlier);
    } else if (renamed) {
      fs_.Remove(target_);
    }
  } catch (const Error&) {
    // Nothing more can be done; the error that stopped the commit is reported.
  }
}

void WriteFileAtomically(FileSystem& fs, const Path& target, std::string_view bytes) {
  AtomicFile file(fs, target);
  file.Write(bytes);
  file.Commit();
}

}  // namespace tvb
