#include "export/export_run.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "tables/table.h"
#include "tests/support/directory_snapshot.h"
#include "tests/support/school_document.h"
#include "tests/support/temp_dir.h"
#include "text/error.h"

namespace tvb {
namespace {

using testing::HoldingProcess;
using testing::SchoolDocument;
using testing::Values;

SchoolDocument SmallSchool(std::string minutes = "90", std::string end = "9:25") {
  SchoolDocument school;
  school.List("MATERIAS", {Values({"S1", "Matem\xC3\xA1ticas", "MATE1", "C1", minutes}),
                           Values({"S2", "Lengua", "LENG1", "C1", "120"})});
  school.List("TAREAS", {Values({"T1", "Reuni\xC3\xB3n", "REUN"})});
  school.List("PROFESORES", {Values({"E1", "01/09/2020",
                                     "Ana Ib\xC3\xA1\xC3\xB1"
                                     "ez",
                                     "AIB"})});
  school.List("AULAS", {Values({"R1", "Aula 1", "A1"})});
  school.List("CURSOS", {Values({"C1", "", "", "ESO", "1"})});
  school.List("GRUPOS", {Values({"G1", "1ESO A", "C1"}), Values({"G2", "1ESO B", "C1"})});
  school.List("INTERVALOS", {{{"CODIGO_BRIVO", "I1"},
                              {"NOMBRE", "Primera"},
                              {"INICIO", "8:30"},
                              {"FIN", end},
                              {"ORDEN", "1"}}});
  return school;
}

class ExportRunTest : public ::testing::Test {
 protected:
  std::filesystem::path Document(const std::string& xml, const char* name = "colegio.xml") {
    const auto path = docs_ / name;
    testing::WriteFile(path, xml);
    return path;
  }
  ExportReport Export(const std::filesystem::path& doc) {
    return ExportarDocumento(RealFileSystem(), doc, tables_.path());
  }
  // Runs `doc` expecting failure; returns the message after checking that the
  // table directory is byte for byte as before and no temporary is left.
  std::string ExpectFailureChangingNothing(const std::filesystem::path& doc) {
    const testing::Snapshot before = testing::TakeSnapshot(tables_.path());
    try {
      Export(doc);
      ADD_FAILURE() << "the export succeeded";
    } catch (const Error& e) {
      EXPECT_EQ(testing::TakeSnapshot(tables_.path()), before) << e.what();
      return e.what();
    }
    return "";
  }
  testing::TempDir docs_;
  testing::TempDir tables_;
};

TEST_F(ExportRunTest, WritesTheSevenTablesInPlaceOfTheOldOnes) {
  testing::WriteFile(tables_ / "asignomt.dbf", "old table in other letter case");
  testing::WriteFile(tables_ / "ASIGNOMT.MDX", "old index");
  testing::WriteFile(tables_ / "proft.mdx", "old index");
  testing::WriteFile(tables_ / "SOLUC.DBF", "the timetabling program's");
  testing::WriteFile(tables_ / "ASIGT.DBF.999-1.tvbtmp", "left by a run that was killed");
  const ExportReport report = Export(Document(SmallSchool().Xml()));

  std::vector<std::pair<std::string, std::size_t>> counts;
  for (const TableReport& t : report.tables) counts.emplace_back(t.table, t.rows);
  EXPECT_EQ(counts, (std::vector<std::pair<std::string, std::size_t>>{{"ASIGNOMT", 3},
                                                                      {"PROFT", 1},
                                                                      {"AULAT", 1},
                                                                      {"CURSOST", 1},
                                                                      {"GRUPOST", 2},
                                                                      {"ASIGT", 4},
                                                                      {"DIASHORAST", 7}}));
  for (const TableReport& t : report.tables) {
    EXPECT_EQ(Table::Open(RealFileSystem(), tables_.path(), t.table).RowCount(), t.rows) << t.table;
  }
  const testing::Snapshot after = testing::TakeSnapshot(tables_.path());
  std::vector<std::string> names;
  for (const auto& [name, bytes] : after) names.push_back(name);
  EXPECT_EQ(names,
            (std::vector<std::string>{"ASIGNOMT.DBF", "ASIGT.DBF", "AULAT.DBF", "CURSOST.DBF",
                                      "DIASHORAST.DBF", "GRUPOST.DBF", "PROFT.DBF", "SOLUC.DBF"}));
  EXPECT_EQ(after.at("SOLUC.DBF"), "the timetabling program's");
  ASSERT_TRUE(report.document);
}

TEST_F(ExportRunTest, AFailingRunLeavesTheTableDirectoryAsItWas) {
  Export(Document(SmallSchool().Xml()));  // the tables of an earlier run
  testing::WriteFile(tables_ / "ASIGT.MDX", "index of the earlier run");
  SchoolDocument missing_position = SmallSchool();
  missing_position.List("AULAS", {Values({"R2", "Aula 2"})});
  const struct {
    const char* what;
    std::string xml;
    const char* message_part;
  } cases[] = {
      {"non-numeric weekly minutes", SmallSchool("mucho").Xml(), "minutos semanales"},
      {"bad period time", SmallSchool("90", "9:25:00").Xml(), "INTERVALOS"},
      {"missing position", missing_position.Xml(), "AULAS"},
      {"not well-formed", "<SERVICIO><SALIDAS></SERVICIO>", "colegio.xml"},
      {"empty file", "", "colegio.xml"},
      {"unsupported encoding", "<?xml version=\"1.0\" encoding=\"EBCDIC\"?><SERVICIO/>",
       "colegio.xml"},
  };
  for (const auto& c : cases) {
    const std::string message = ExpectFailureChangingNothing(Document(c.xml));
    EXPECT_NE(message.find(c.message_part), std::string::npos) << c.what << ": " << message;
  }
}

TEST_F(ExportRunTest, ATableHeldByAnotherProgramStopsTheRunBeforeAnythingChanges) {
  Export(Document(SmallSchool().Xml()));
  HoldingProcess timetabling_program(tables_ / "PROFT.DBF");
  const std::string message = ExpectFailureChangingNothing(Document(SmallSchool("60").Xml()));
  EXPECT_NE(message.find("PROFT"), std::string::npos) << message;
  EXPECT_NE(message.find("en uso"), std::string::npos) << message;
}

TEST_F(ExportRunTest, MissingDocumentOrTableDirectory) {
  EXPECT_THROW(Export(docs_ / "no-existe.xml"), MissingFileError);
  EXPECT_THROW(Export(""), MissingFileError);
  EXPECT_THROW(Export(docs_.path()), MissingFileError);  // a folder is no file
  try {
    ExportarDocumento(RealFileSystem(), Document(SmallSchool().Xml()), tables_ / "no-existe");
    FAIL();
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("no-existe"), std::string::npos) << e.what();
  }
}

// The bundled sample, read back by an independent dBase reader.
TEST_F(ExportRunTest, SampleTablesReadByAnIndependentReader) {
  if (std::system("/usr/bin/python3 -c 'import dbfread' 2>/dev/null") != 0) {
    GTEST_SKIP() << "python3-dbfread is not installed";
  }
  Export(std::filesystem::path(TVB_SOURCE_DIR) / "samples" / "colegio.xml");
  const std::string script =
      "import dbfread, sys\n"
      "for t in ['ASIGNOMT','PROFT','AULAT','CURSOST','GRUPOST','ASIGT','DIASHORAST']:\n"
      "    rows = list(dbfread.DBF(sys.argv[1] + '/' + t + '.DBF', encoding='cp1252'))\n"
      "    print(t, len(rows))\n"
      "p = list(dbfread.DBF(sys.argv[1] + '/PROFT.DBF', encoding='cp1252'))\n"
      "print(p[2]['NOMBRE'], p[2]['ABREV'], p[0]['ABREV'], p[1]['ABREV'])\n"
      "a = list(dbfread.DBF(sys.argv[1] + '/ASIGT.DBF', encoding='cp1252'))\n"
      "print(a[0]['HORAS'], a[0]['SESIONES'])\n";
  testing::WriteFile(docs_ / "read.py", script);
  const std::string command =
      "/usr/bin/python3 " + (docs_ / "read.py").string() + " " + tables_.path().string();
  std::string output;
  FILE* pipe = ::popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
  ASSERT_EQ(::pclose(pipe), 0) << output;
  EXPECT_EQ(output,
            "ASIGNOMT 23\nPROFT 8\nAULAT 8\nCURSOST 3\nGRUPOST 6\nASIGT 47\nDIASHORAST 49\n"
            "José Luis Núñez Gómez JLNÚ MGAR MGA1\n"
            "4.0 1111\n");
}

}  // namespace
}  // namespace tvb
