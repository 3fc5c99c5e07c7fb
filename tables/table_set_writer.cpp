#include "tables/table_set_writer.h"

#include "tables/table_set_journal.h"
#include "text/ansi.h"
#include "text/error.h"

namespace tvb {
namespace {

constexpr std::string_view kExtensions[] = {".DBF", ".MDX"};

std::string FileName(std::string_view table, std::string_view extension) {
  return std::string(table) + std::string(extension);
}

// Whether `file` is the table file or the index of `table`, in any letter case.
bool BelongsTo(std::string_view file, std::string_view table) {
  const std::string upper = AsciiUpper(file);
  return upper == FileName(table, ".DBF") || upper == FileName(table, ".MDX");
}

// The new tables written whole beside the old ones, each synced and held; removed
// again unless they were put in place.
class Temporaries {
 public:
  explicit Temporaries(FileSystem& fs) : fs_(fs) {}
  Temporaries(const Temporaries&) = delete;
  Temporaries& operator=(const Temporaries&) = delete;
  ~Temporaries() {
    held_.clear();
    if (placed_) return;
    for (const Path& path : paths_) RemoveQuietly(fs_, path);
  }
  // Writes `pieces` to a temporary beside `target`; returns its file name.
  std::string Write(const Path& target, const std::vector<std::string_view>& pieces) {
    const Path path = TemporaryPathFor(target);
    std::unique_ptr<OutputFile> file = fs_.Create(path);
    paths_.push_back(path);
    for (std::string_view piece : pieces) file->Write(piece);
    file->Sync();
    file->Close();
    held_.push_back(fs_.Hold(path));
    return path.filename().string();
  }
  void MarkPlaced() { placed_ = true; }

 private:
  FileSystem& fs_;
  std::vector<Path> paths_;
  std::vector<std::unique_ptr<HeldFile>> held_;
  bool placed_ = false;
};

void RemoveStaleTemporaries(FileSystem& fs, const Path& dir) {
  for (const std::string& entry : fs.List(dir)) {
    if (!entry.ends_with(kTemporarySuffix)) continue;
    const Path path = dir / entry;
    if (!fs.IsHeld(path)) fs.Remove(path);
  }
}

}  // namespace

void RepairTableDirectory(FileSystem& fs, const Path& dir) {
  UndoInterruptedReplace(fs, dir);
  RemoveStaleTemporaries(fs, dir);
}

TableSetWriter::TableSetWriter(FileSystem& fs, Path dir, const std::vector<std::string_view>& names)
    : fs_(fs), dir_(std::move(dir)) {
  if (!fs_.IsDirectory(dir_)) {
    throw Error("No existe la carpeta de tablas " + ShowPath(dir_));
  }
  RepairTableDirectory(fs_, dir_);
  for (std::string_view name : names) {
    for (std::string_view extension : kExtensions) {
      for (const Path& file : FindAllIgnoringCase(fs_, dir_, FileName(name, extension))) {
        held_.push_back({file.filename().string(), HoldForReplacing(fs_, file, name)});
      }
    }
  }
}

TableSetWriter::~TableSetWriter() = default;

void TableSetWriter::Replace(const std::vector<NewTable>& tables) {
  try {
    DoReplace(tables);
  } catch (const FileBusyError&) {
    throw;
  } catch (const FileError& error) {
    throw FileError(std::string(error.what()) +
                    (fs_.Exists(dir_ / kJournalName)
                         ? "; la próxima ejecución dejará las tablas como estaban"
                         : "; no se ha cambiado ninguna tabla"));
  }
}

void TableSetWriter::DoReplace(const std::vector<NewTable>& tables) {
  Temporaries temporaries(fs_);
  std::vector<JournalMove> moves;
  for (const NewTable& table : tables) {
    const std::string dbf = FileName(table.name, ".DBF");
    const std::string temporary = temporaries.Write(dir_ / dbf, table.pieces);
    // The old files first, then the new table over the old one's name.
    for (const HeldOldFile& old : held_) {
      if (!BelongsTo(old.name, table.name)) continue;
      const auto kind = old.name == dbf ? JournalMove::Kind::kKeep : JournalMove::Kind::kAside;
      moves.push_back({kind, old.name, TemporaryPathFor(dir_ / old.name).filename().string()});
    }
    moves.push_back({JournalMove::Kind::kPlace, temporary, dbf});
  }
  Journal journal(fs_, dir_, std::move(moves));
  journal.Commit();
  temporaries.MarkPlaced();
}

}  // namespace tvb
