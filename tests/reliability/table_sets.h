// Two exports whose table sets differ in every table, a table directory that
// holds the first set (with an index and a copy under other letter case, as the
// timetabling program leaves them), and what a reader of that directory sees:
// the old set, the new set, or a mix.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "export/export_run.h"
#include "import/import_run.h"
#include "tables/table.h"
#include "tables/table_builder.h"
#include "tables/table_set.h"
#include "tables/table_set_journal.h"
#include "tests/support/directory_snapshot.h"
#include "tests/support/school_document.h"
#include "tests/support/temp_dir.h"

namespace tvb::testing {

// A small school; `tag` changes a value in every list, so in every table.
inline std::string School(const std::string& tag, const std::string& minutes) {
  SchoolDocument school;
  school.List("MATERIAS", {Values({"S1", "Matem\xC3\xA1ticas " + tag, "MATE" + tag, "C1", minutes}),
                           Values({"S2", "Lengua", "LENG1", "C1", "120"})});
  school.List("TAREAS", {Values({"T1", "Reuni\xC3\xB3n " + tag, "REUN"})});
  school.List("PROFESORES", {Values({"E1", "01/09/2020", "Ana " + tag, "AIB"})});
  school.List("AULAS", {Values({"R1", "Aula " + tag, "A1"})});
  school.List("CURSOS", {Values({"C1", "", "", "ESO", tag})});
  school.List("GRUPOS", {Values({"G1", "1ESO " + tag, "C1"}), Values({"G2", "1ESO B", "C1"})});
  school.List("INTERVALOS", {{{"CODIGO_BRIVO", "I1"},
                              {"NOMBRE", tag + " Primera"},
                              {"INICIO", "8:30"},
                              {"FIN", "9:25"},
                              {"ORDEN", "1"}}});
  return school.Xml();
}

// What a reader of a table directory sees: every file but the temporaries and
// the journal, with the date of last update of the tables blanked.
inline Snapshot Visible(const std::filesystem::path& dir) {
  Snapshot visible;
  for (auto& [name, bytes] : TakeSnapshot(dir)) {
    if (name.ends_with(".tvbtmp") || name == kJournalName) continue;
    if (name.ends_with(".DBF") && bytes.size() > 4) bytes.replace(1, 3, 3, '\0');
    visible.emplace(name, std::move(bytes));
  }
  return visible;
}

inline void Restore(const std::filesystem::path& dir, const Snapshot& snapshot) {
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    std::filesystem::remove(entry.path());
  }
  for (const auto& [name, bytes] : snapshot) WriteFile(dir / name, bytes);
}

// Every table file in `dir` reads whole: its header adds up and its size is the
// header, the records it counts and the end-of-file byte.
inline void ExpectWholeTables(const std::filesystem::path& dir) {
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::filesystem::path file = entry.path().filename();
    if (file.extension() != ".DBF" && file.extension() != ".dbf") continue;
    const std::string bytes = ReadFile(entry.path());
    try {
      const Table table = Table::Open(RealFileSystem(), dir, file.stem().string());
      ASSERT_GE(bytes.size(), 12u) << file;
      const auto u16 = [&](std::size_t at) -> std::size_t {
        const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
        return byte(at) + 256 * byte(at + 1);
      };
      EXPECT_EQ(bytes.size(), u16(8) + table.RowCount() * u16(10) + 1) << file;
    } catch (const Error& e) {
      ADD_FAILURE() << file << ": " << e.what();
    }
  }
}

enum class SetSeen { kOld, kNew, kMixed };

// A directory holding set A of School("A", "90"), and what set B looks like once
// exported over it.
class TableSets {
 public:
  explicit TableSets(const std::filesystem::path& base = std::filesystem::temp_directory_path())
      : docs_(base), tables_(base) {
    WriteFile(old_document(), School("A", "90"));
    WriteFile(new_document(), School("B", "60"));
    ExportarDocumento(RealFileSystem(), old_document(), tables_.path());
    WriteFile(tables_ / "ASIGT.MDX", "index of the old set");
    std::filesystem::rename(tables_ / "CURSOST.DBF", tables_ / "cursost.dbf");
    TableBuilder soluc(tables::kSoluc);  // one slot of the teacher of both schools
    soluc.Append();
    soluc.Set(0, "AIB");
    soluc.SetNumber(1, 1);
    soluc.SetNumber(2, 1);
    soluc.Set(3, "MATE");
    soluc.Set(4, "G1");
    soluc.Set(5, "A1");
    WriteFile(tables_ / "SOLUC.DBF", soluc.FileBytes(Today()));
    old_files_ = TakeSnapshot(tables_.path());
    old_ = Visible(tables_.path());
    ExportarDocumento(RealFileSystem(), new_document(), tables_.path());
    new_ = Visible(tables_.path());
    Restore(tables_.path(), old_files_);
  }

  const std::filesystem::path& tables() const { return tables_.path(); }
  std::filesystem::path old_document() const { return docs_ / "A.xml"; }
  std::filesystem::path new_document() const { return docs_ / "B.xml"; }
  std::filesystem::path result() const { return docs_ / "ResultadoToviraA.xml"; }
  // The directory's files before any test run.
  const Snapshot& old_files() const { return old_files_; }
  const Snapshot& old_set() const { return old_; }
  const Snapshot& new_set() const { return new_; }

  SetSeen Seen() const {
    const Snapshot now = Visible(tables_.path());
    return now == old_ ? SetSeen::kOld : now == new_ ? SetSeen::kNew : SetSeen::kMixed;
  }
  // The directory is as the next run finds it: no temporary, no journal.
  void ExpectTidy() const {
    EXPECT_EQ(CountTemporaries(tables_.path()), 0);
    EXPECT_FALSE(std::filesystem::exists(tables_ / kJournalName));
  }

 private:
  TempDir docs_;
  TempDir tables_;
  Snapshot old_files_;
  Snapshot old_;
  Snapshot new_;
};

}  // namespace tvb::testing
