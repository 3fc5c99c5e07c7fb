// Replaces a set of tables in the table directory all at once. While it lives it
// holds every existing file of those tables, so that another program cannot use
// them meanwhile; a table already held by another program is reported before
// anything is replaced. Replace() writes each new table to a temporary file,
// syncs them all and only then renames them over the old ones; on any error
// before the renames the temporaries are removed and the directory is as before.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files/file_system.h"

namespace tvb {

struct NewTable {
  std::string_view name;  // "ASIGNOMT": written as ASIGNOMT.DBF
  std::string bytes;      // the whole file
};

class TableSetWriter {
 public:
  // Throws when `dir` is no directory or one of `names` is held by another program.
  TableSetWriter(FileSystem& fs, Path dir, const std::vector<std::string_view>& names);
  TableSetWriter(const TableSetWriter&) = delete;
  TableSetWriter& operator=(const TableSetWriter&) = delete;
  ~TableSetWriter();

  void Replace(const std::vector<NewTable>& tables);

 private:
  void RemoveStaleTemporaries();

  FileSystem& fs_;
  Path dir_;
  std::vector<std::unique_ptr<HeldFile>> held_;
};

}  // namespace tvb
