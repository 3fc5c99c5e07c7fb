#include "tables/table_set_journal.h"

#include <array>
#include <utility>

namespace tvb {
namespace {

using Kind = JournalMove::Kind;

constexpr std::string_view kFirstLine = "transvb journal 1\n";
constexpr std::string_view kLastLine = "end\n";
constexpr std::array<std::pair<Kind, std::string_view>, 3> kKindNames = {
    {{Kind::kKeep, "keep"}, {Kind::kAside, "aside"}, {Kind::kPlace, "place"}}};

FileBusyError ChangingTables(const Path& dir) {
  return FileBusyError("Las tablas de " + ShowPath(dir) +
                       " están en uso: otro proceso las está cambiando ahora");
}

std::string_view KindName(Kind kind) {
  for (const auto& [k, name] : kKindNames) {
    if (k == kind) return name;
  }
  return "";
}

std::optional<Kind> KindNamed(std::string_view name) {
  for (const auto& [k, n] : kKindNames) {
    if (n == name) return k;
  }
  return std::nullopt;
}

// A plain file name: nothing that could lead out of the table directory.
bool IsFileName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

std::optional<JournalMove> ParseMove(std::string_view line) {
  const std::size_t first = line.find('\t');
  const std::size_t second = line.find('\t', first == line.npos ? line.npos : first + 1);
  if (second == line.npos || line.find('\t', second + 1) != line.npos) return std::nullopt;
  const std::optional<Kind> kind = KindNamed(line.substr(0, first));
  const std::string_view from = line.substr(first + 1, second - first - 1);
  const std::string_view to = line.substr(second + 1);
  if (!kind || !IsFileName(from) || !IsFileName(to)) return std::nullopt;
  return JournalMove{*kind, std::string(from), std::string(to)};
}

// Whether the old file of table file `name` was kept under a second name.
bool WasKept(const std::vector<JournalMove>& moves, const std::string& name) {
  for (const JournalMove& move : moves) {
    if (move.kind == Kind::kKeep && move.from == name) return true;
  }
  return false;
}

void Undo(FileSystem& fs, const Path& dir, const std::vector<JournalMove>& moves) {
  for (const JournalMove& move : moves) {
    if (move.kind != Kind::kPlace) continue;
    if (fs.Exists(dir / move.from)) {
      fs.Remove(dir / move.from);  // never placed
    } else if (!WasKept(moves, move.to)) {
      fs.Remove(dir / move.to);  // placed where there was no table
    }
  }
  for (const JournalMove& move : moves) {
    if (move.kind == Kind::kPlace || !fs.Exists(dir / move.to)) continue;
    fs.Rename(dir / move.to, dir / move.from);
    // A kept file that was never replaced: both names show one file, and the
    // rename did nothing.
    fs.Remove(dir / move.to);
  }
  fs.SyncDirectory(dir);
}

void Make(FileSystem& fs, const Path& dir, const JournalMove& move) {
  // Without hard links a kept file is renamed aside: the table is missing from
  // view until the new one is placed, and is put back all the same.
  if (move.kind != Kind::kKeep || !fs.Link(dir / move.from, dir / move.to)) {
    fs.Rename(dir / move.from, dir / move.to);
  }
}

std::unique_ptr<OutputFile> CreateJournal(FileSystem& fs, const Path& dir) {
  try {
    return fs.Create(dir / kJournalName);
  } catch (const FileError&) {
    if (fs.Exists(dir / kJournalName)) throw ChangingTables(dir);
    throw;
  }
}

// Holds the tables that undoing puts back, so that none is replaced under a
// program that is reading it.
std::vector<std::unique_ptr<HeldFile>> HoldPlacedTables(FileSystem& fs, const Path& dir,
                                                        const std::vector<JournalMove>& moves) {
  std::vector<std::unique_ptr<HeldFile>> held;
  for (const JournalMove& move : moves) {
    const Path file = dir / move.to;
    if (move.kind == Kind::kPlace && fs.Exists(file)) {
      held.push_back(HoldForReplacing(fs, file, file.stem().string()));
    }
  }
  return held;
}

}  // namespace

std::string FormatJournal(const std::vector<JournalMove>& moves) {
  std::string text(kFirstLine);
  for (const JournalMove& move : moves) {
    text.append(KindName(move.kind)).append("\t").append(move.from).append("\t");
    text.append(move.to).append("\n");
  }
  return text.append(kLastLine);
}

std::optional<std::vector<JournalMove>> ParseJournal(std::string_view text) {
  if (!text.starts_with(kFirstLine) || !text.ends_with(kLastLine)) return std::nullopt;
  text.remove_prefix(kFirstLine.size());
  text.remove_suffix(kLastLine.size());
  std::vector<JournalMove> moves;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    if (end == text.npos) return std::nullopt;
    std::optional<JournalMove> move = ParseMove(text.substr(0, end));
    if (!move) return std::nullopt;
    moves.push_back(std::move(*move));
    text.remove_prefix(end + 1);
  }
  return moves;
}

Journal::Journal(FileSystem& fs, Path dir, std::vector<JournalMove> moves)
    : fs_(fs), dir_(std::move(dir)), moves_(std::move(moves)) {
  std::unique_ptr<OutputFile> file = CreateJournal(fs_, dir_);
  try {
    file->Write(FormatJournal(moves_));
    file->Sync();
    file->Close();
    held_ = fs_.Hold(dir_ / kJournalName);
    fs_.SyncDirectory(dir_);
  } catch (const Error&) {
    file.reset();
    held_.reset();
    RemoveQuietly(fs_, dir_ / kJournalName);
    throw;
  }
}

Journal::~Journal() {
  if (committed_) return;
  try {
    Undo(fs_, dir_, moves_);
    fs_.Remove(dir_ / kJournalName);
    fs_.SyncDirectory(dir_);
  } catch (const Error&) {
    // The journal stays; the next run in this directory finishes the undoing.
  }
}

void Journal::Commit() {
  for (const JournalMove& move : moves_) Make(fs_, dir_, move);
  fs_.SyncDirectory(dir_);
  fs_.Remove(dir_ / kJournalName);
  fs_.SyncDirectory(dir_);
  committed_ = true;
  held_.reset();
  for (const JournalMove& move : moves_) {
    if (move.kind != Kind::kPlace) RemoveQuietly(fs_, dir_ / move.to);
  }
}

void UndoInterruptedReplace(FileSystem& fs, const Path& dir) {
  const Path path = dir / kJournalName;
  if (!fs.Exists(path)) return;
  std::unique_ptr<HeldFile> held;
  try {
    held = fs.Hold(path);
  } catch (const FileBusyError&) {
    throw ChangingTables(dir);
  } catch (const FileError&) {
    if (!fs.Exists(path)) return;  // its run finished meanwhile
    throw;
  }
  const std::string text = held->ReadAll();
  // Opened just before its run removed it: that run finished, or another began.
  if (!fs.Exists(path)) return;
  if (fs.ReadAll(path) != text) throw ChangingTables(dir);
  if (const std::optional<std::vector<JournalMove>> moves = ParseJournal(text)) {
    const auto tables = HoldPlacedTables(fs, dir, *moves);
    Undo(fs, dir, *moves);
  }
  fs.Remove(path);
  fs.SyncDirectory(dir);
}

std::unique_ptr<HeldFile> HoldForReplacing(FileSystem& fs, const Path& file,
                                           std::string_view table) {
  try {
    return fs.Hold(file);
  } catch (const FileBusyError&) {
    throw FileBusyError("La tabla " + std::string(table) + " está en uso por otro programa (" +
                        ShowPath(file) + "); no se ha cambiado ninguna tabla");
  }
}

}  // namespace tvb
