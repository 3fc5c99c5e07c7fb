// Replaces a set of tables in the table directory all at once. While it lives it
// holds every existing file of those tables (NAME.DBF and NAME.MDX under any
// letter case), so that another program cannot use them meanwhile; a table
// already held by another program is reported before anything is replaced.
//
// Replace() writes each new table to a temporary file, syncs and holds them all,
// and only then puts them in place under a journal (tables/table_set_journal.h):
// on any error the directory is exactly as before, and a run killed at any
// moment leaves a directory that the next run's RepairTableDirectory() gives
// back whole: the old set, or the new one when the kill came after the commit.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files/file_system.h"

namespace tvb {

struct NewTable {
  std::string_view name;                 // "ASIGNOMT": written as ASIGNOMT.DBF
  std::vector<std::string_view> pieces;  // the whole file, piece after piece
};

// What every run does first in a table directory: undoes the replacement of a
// run that stopped half way, then removes the temporary files that no live
// process holds (left by runs that were killed). Throws FileBusyError when
// another run is replacing tables there now.
void RepairTableDirectory(FileSystem& fs, const Path& dir);

class TableSetWriter {
 public:
  // Repairs `dir`, then holds the files of `names`. Throws when `dir` is no
  // directory or one of `names` is held by another program.
  TableSetWriter(FileSystem& fs, Path dir, const std::vector<std::string_view>& names);
  TableSetWriter(const TableSetWriter&) = delete;
  TableSetWriter& operator=(const TableSetWriter&) = delete;
  ~TableSetWriter();

  void Replace(const std::vector<NewTable>& tables);

 private:
  struct HeldOldFile {
    std::string name;  // as found in the directory
    std::unique_ptr<HeldFile> held;
  };
  void DoReplace(const std::vector<NewTable>& tables);

  FileSystem& fs_;
  Path dir_;
  std::vector<HeldOldFile> held_;
};

}  // namespace tvb
