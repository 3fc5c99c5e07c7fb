#include "tables/table_set_writer.h"

#include "text/error.h"

namespace tvb {
namespace {

std::string FileName(std::string_view table, std::string_view extension) {
  return std::string(table) + std::string(extension);
}

// The temporaries of one Replace, removed unless they were all put in place.
class Temporaries {
 public:
  explicit Temporaries(FileSystem& fs) : fs_(fs) {}
  Temporaries(const Temporaries&) = delete;
  Temporaries& operator=(const Temporaries&) = delete;
  ~Temporaries() {
    for (auto& [path, file] : files_) {
      file.reset();
      if (!placed_) {
        try {
          fs_.Remove(path);
        } catch (const Error&) {
          // Left for the next run, which removes temporaries nobody holds.
        }
      }
    }
  }
  void Add(Path path, std::unique_ptr<OutputFile> file) {
    files_.emplace_back(std::move(path), std::move(file));
  }
  std::vector<std::pair<Path, std::unique_ptr<OutputFile>>>& files() { return files_; }
  void MarkPlaced() { placed_ = true; }

 private:
  FileSystem& fs_;
  std::vector<std::pair<Path, std::unique_ptr<OutputFile>>> files_;
  bool placed_ = false;
};

}  // namespace

TableSetWriter::TableSetWriter(FileSystem& fs, Path dir, const std::vector<std::string_view>& names)
    : fs_(fs), dir_(std::move(dir)) {
  if (!fs_.IsDirectory(dir_)) {
    throw Error("No existe la carpeta de tablas " + ShowPath(dir_));
  }
  for (std::string_view name : names) {
    for (const Path& file : FindAllIgnoringCase(fs_, dir_, FileName(name, ".DBF"))) {
      try {
        held_.push_back(fs_.Hold(file));
      } catch (const FileBusyError&) {
        throw Error("La tabla " + std::string(name) + " está en uso por otro programa (" +
                    ShowPath(file) + "); no se ha cambiado ninguna tabla");
      }
    }
  }
  RemoveStaleTemporaries();
}

TableSetWriter::~TableSetWriter() = default;

void TableSetWriter::RemoveStaleTemporaries() {
  for (const std::string& entry : fs_.List(dir_)) {
    if (!entry.ends_with(kTemporarySuffix)) continue;
    const Path path = dir_ / entry;
    if (!fs_.IsHeld(path)) fs_.Remove(path);
  }
}

void TableSetWriter::Replace(const std::vector<NewTable>& tables) {
  Temporaries temporaries(fs_);
  for (const NewTable& table : tables) {
    const Path temporary = TemporaryPathFor(dir_ / FileName(table.name, ".DBF"));
    temporaries.Add(temporary, fs_.Create(temporary));
    auto& file = temporaries.files().back().second;
    file->Write(table.bytes);
    file->Sync();
  }
  // Every new table is whole on disk: put them in place, then drop what the old
  // ones left behind (copies under other letter case, their index files).
  for (std::size_t i = 0; i < tables.size(); ++i) {
    fs_.Rename(temporaries.files()[i].first, dir_ / FileName(tables[i].name, ".DBF"));
  }
  temporaries.MarkPlaced();
  for (auto& [path, file] : temporaries.files()) file->Close();
  for (const NewTable& table : tables) {
    const std::string dbf = FileName(table.name, ".DBF");
    for (const Path& old : FindAllIgnoringCase(fs_, dir_, dbf)) {
      if (old.filename() != dbf) fs_.Remove(old);
    }
    for (const Path& index : FindAllIgnoringCase(fs_, dir_, FileName(table.name, ".MDX"))) {
      fs_.Remove(index);
    }
  }
  fs_.SyncDirectory(dir_);
}

}  // namespace tvb
