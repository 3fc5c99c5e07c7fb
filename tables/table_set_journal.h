// The journal that makes replacing a set of tables all or nothing, even when the
// process is killed half way. Before the first old file is touched, every move
// of the replacement is written to a small file in the table directory
// (TRANSVB.JOURNAL), synced, and held locked while the moves are made. Removing
// the journal, durably, after the last move is the moment the new set counts as
// written. A journal that nobody holds was left by a run that stopped half way:
// every move it lists is undone, which gives back the old set whole.
//
// The moves, each table's after the previous table's:
//   keep   the old table file gets a second name (a hard link): it stays in view
//          until the new table replaces it, and can be put back (where the file
//          system has no hard links, it is renamed aside like the next kind);
//   aside  an old file that the new set drops (a copy under other letter case,
//          an index) is renamed to a backup name;
//   place  the new table's temporary, whole and synced, is renamed over the
//          table's file name.
// Undoing reads nothing but the list and the directory: a temporary still there
// was never placed, a backup still there is renamed back. Undoing twice does no
// harm, so a run killed while undoing is undone again by the next one.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_system.h"

namespace tvb {

inline constexpr std::string_view kJournalName = "TRANSVB.JOURNAL";

struct JournalMove {
  enum class Kind { kKeep, kAside, kPlace };
  Kind kind;
  std::string from;  // file names inside the table directory
  std::string to;
  bool operator==(const JournalMove&) const = default;
};

// The journal's bytes, and the moves read back from them. A journal that is not
// whole (its writer was killed before it was synced) reads as nullopt: no move
// had been made.
std::string FormatJournal(const std::vector<JournalMove>& moves);
std::optional<std::vector<JournalMove>> ParseJournal(std::string_view text);

// One replacement under its journal.
class Journal {
 public:
  // Writes and syncs the journal of `moves` in `dir` and holds it. Throws
  // FileBusyError when another run is replacing tables there.
  Journal(FileSystem& fs, Path dir, std::vector<JournalMove> moves);
  Journal(const Journal&) = delete;
  Journal& operator=(const Journal&) = delete;
  // Not committed: undoes the moves made and removes the journal. When that
  // fails too, the journal stays for the next run to finish the undoing.
  ~Journal();

  // Makes every move, removes the journal durably, then the backups.
  void Commit();

 private:
  FileSystem& fs_;
  Path dir_;
  std::vector<JournalMove> moves_;
  std::unique_ptr<HeldFile> held_;
  bool committed_ = false;
};

// Undoes the replacement of a run that stopped half way, when its journal is
// left in `dir` and no live process holds it. Throws FileBusyError when another
// run is replacing tables now or a table to put back is held by another program.
void UndoInterruptedReplace(FileSystem& fs, const Path& dir);

// Holds `file` of table `table` for replacing it; a file held by another program
// is a FileBusyError naming the table.
std::unique_ptr<HeldFile> HoldForReplacing(FileSystem& fs, const Path& file,
                                           std::string_view table);

}  // namespace tvb
