#include "import/import_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "tests/import/import_fixture.h"
#include "tests/support/directory_snapshot.h"
#include "tests/tables/dbf_bytes.h"
#include "text/error.h"

namespace tvb {
namespace {

using testing::DescribeTeachers;
using testing::WriteTable;
using Lines = std::vector<std::string>;

constexpr const char* kDocument =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<SERVICIO version=\"2\"><ANTES>a</ANTES><SALIDAS><listasal seq=\"MATERIAS\"/></SALIDAS>"
    "<DESPUES>d</DESPUES></SERVICIO>\n";

// A solved timetable whose DIA is a text field, as a careless program might write it.
constexpr FieldDef kTextDayFields[] = {
    {"PROF", FieldKind::kText, 4},     {"DIA", FieldKind::kText, 2},
    {"HORA", FieldKind::kInteger, 0},  {"ASIG", FieldKind::kText, 4},
    {"CODGRUPO", FieldKind::kText, 4}, {"AULA", FieldKind::kText, 4}};
constexpr TableDef kSolucWithTextDay{"SOLUC", kTextDayFields};

class ImportRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::WriteFile(document_, kDocument);
    // A small timetable directory: two teachers, their assignments and the grid.
    WriteTable(tables_.path(), tables::kProft,
               {{"MGAR",
                 "Mar\xED"
                 "a",
                 "", "", "E1", "01/09/2020"},
                {"L'FO",
                 "Luc\xED"
                 "a",
                 "", "", "E2", "F2"},
                {"NADA", "Sin horas", "", "", "E3", "F3"}});
    WriteTable(tables_.path(), tables::kAsigt,
               {{"MATE", "", "1ESO", "", "", "", "", "", "4", "1111", "S1", "C1", "156"},
                {"MATE", "", "1ESO", "", "", "", "", "", "4", "1111", "S1-DUP", "C1", "999"},
                {"GUAR", "", "1ESO", "", "", "", "", "", "1", "1", "S2", "C1", ""},
                {"mate", "", "1ESO", "", "", "", "", "", "1", "1", "S3", "C1", "777"}});
    WriteTable(tables_.path(), tables::kAsignomt,
               {{"MATE", "MATE1", "Matem\xE1ticas", "", ""},
                {"GUAR", "GUAR1", "Guardia", "", "T-GUARDIA"},
                {"REUN", "REUN", "Reuni\xF3n", "", "T-REUNION"},
                {"REUN", "REUN2", "Otra", "", "T-OTRA"}});
    WriteTable(tables_.path(), tables::kDiashorast,
               {{"11", "I1", "1", "", "1", "Primera", "08:30", "09:25", "55"},
                {"112", "I12", "1", "", "12",
                 "Duod\xE9"
                 "cima",
                 "18:00", "19:00", "60"}});
    WriteTable(tables_.path(), tables::kAulat,
               {{"AULA", "Aula", "", "", "R1"}, {"AULA", "Otra", "", "", "R-DUP"}});
    WriteTable(tables_.path(), tables::kGrupost, {{"1ESO", "", "ESO", "1", "A", "G1", "C1"}});
    WriteTable(tables_.path(), tables::kCursost, {{"", "", "ESO", "1", "C1"}});
  }
  void Soluc(const std::vector<std::vector<std::string>>& rows, const std::string& file = "") {
    WriteTable(tables_.path(), tables::kSoluc, rows, file);
  }
  ImportReport Import() { return ImportarDocumento(RealFileSystem(), document_, tables_.path()); }
  pugi::xml_document Result() {
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_file(result_.c_str()));
    return doc;
  }
  // Runs the import expecting failure: no result file, an earlier one intact,
  // no temporary left beside it.
  std::string ExpectFailure() {
    testing::WriteFile(result_, "earlier result");
    try {
      Import();
      ADD_FAILURE() << "the import succeeded";
    } catch (const Error& e) {
      EXPECT_EQ(testing::ReadFile(result_), "earlier result");
      EXPECT_EQ(testing::CountTemporaries(docs_.path()), 0);
      return e.what();
    }
    return "";
  }

  testing::TempDir docs_;
  testing::TempDir tables_;
  std::filesystem::path document_ = docs_ / "horario.xml";
  std::filesystem::path result_ = docs_ / "ResultadoTovirahorario.xml";
};

TEST_F(ImportRunTest, ResultFileLiesBesideTheChosenFile) {
  EXPECT_EQ(ResultPathFor("/datos/horario.xml"), "/datos/ResultadoTovirahorario.xml");
  EXPECT_EQ(ResultPathFor("/datos/Horario.XML"), "/datos/ResultadoToviraHorario.XML");
}

TEST_F(ImportRunTest, EverySlotInTheManagementSystemsKeys) {
  Soluc({{"MGAR", "1", "1", "MATE", "1ESO", "AULA"},  // first assignment and room rows win
         {"MGAR", "0", "3", "MATE", "1ESO", "AULA"},  // day 0: no slot, no number
         {"MGAR", "", "3", "MATE", "1ESO", "AULA"},   // empty day reads 0
         {"L'FO", "1", "12", "GUAR", "1ESO", ""},     // blank task number: the task's key
         {"MGAR", "1", "2", "REUN", "", ""},          // no assignment: the task's key, first row
         {"MGAR", "7", "7", "XXXX", "ZZZZ", "NADA"},  // nothing matches
         {"MGAR", "1", "1", "Mate", "1ESO", "aula"},  // letter case counts
         {"OTRO", "1", "1", "MATE", "1ESO", "AULA"}});
  const ImportReport report = Import();
  EXPECT_EQ(report.teachers, 3u);
  EXPECT_EQ(report.slots, 5u);
  EXPECT_EQ(report.result, result_);

  pugi::xml_document doc = Result();
  const pugi::xml_node root = doc.document_element();
  Lines children;
  for (const pugi::xml_node& child : root.children()) children.push_back(child.name());
  EXPECT_EQ(children, (Lines{"ANTES", "DESPUES", "SALIDAS"}));
  EXPECT_STREQ(root.attribute("version").value(), "2");
  const pugi::xml_node salidas = root.child("SALIDAS");
  EXPECT_EQ(testing::Describe(salidas.child("ERROR")), ":0|Servicio finalizado Correctamente|3");
  EXPECT_EQ(DescribeTeachers(salidas),
            (Lines{"EMP_1:E1|01/09/2020", "  TRAMO_1:156|1|I1|R1|S1|G1", "  TRAMO_2:T-REUNION|||||",
                   "  TRAMO_3:|||||", "  TRAMO_4:|1|I1|||G1", "EMP_2:E2|F2",
                   "  TRAMO_1:T-GUARDIA|1|I12||S2|G1", "EMP_3:E3|F3"}));
  Lines names;
  for (const pugi::xml_node& v : salidas.child("listasal").child("listasal").children()) {
    names.push_back(v.attribute("dato").value());
  }
  EXPECT_EQ(names, (Lines{"X_ACTIVIDAD", "N_DIASEMANA", "X_TRAMO", "X_DEPCENTRO", "X_MATERIAOMC",
                          "X_UNIDAD"}));
}

TEST_F(ImportRunTest, NoTeachersGivesOnlyTheStatusBlock) {
  WriteTable(tables_.path(), tables::kProft, {});
  WriteTable(tables_.path(), kSolucWithTextDay,
             {{"MGAR", "x", "1", "MATE", "1ESO", "AULA"}});  // never read
  const ImportReport report = Import();
  EXPECT_EQ(report.teachers, 0u);
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_file(report.result.c_str()));
  const pugi::xml_node salidas = doc.document_element().child("SALIDAS");
  EXPECT_EQ(testing::Describe(salidas.child("ERROR")), ":0|Servicio finalizado Correctamente|0");
  EXPECT_FALSE(salidas.child("listasal"));
}

TEST_F(ImportRunTest, ARootWithTwoOutputsElementsFillsTheOlderOne) {
  testing::WriteFile(document_,
                     "<SERVICIO><SALIDAS><a/></SALIDAS><X/><SALIDAS><b/></SALIDAS></SERVICIO>");
  Soluc({});
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_file(Import().result.c_str()));
  Lines shape;
  for (const pugi::xml_node& child : doc.document_element().children()) {
    std::string line = child.name();
    for (const pugi::xml_node& inner : child.children()) line += std::string(" ") + inner.name();
    shape.push_back(line);
  }
  EXPECT_EQ(shape, (Lines{"X", "SALIDAS b ERROR listasal listasal listasal", "SALIDAS"}));
}

TEST_F(ImportRunTest, FailuresWriteNoResultAndKeepTheEarlierOne) {
  const struct {
    const char* what;
    std::function<void()> arrange;
    const char* message_part;
  } cases[] = {
      {"missing SOLUC", [] {}, "SOLUC"},
      {"missing CURSOST",
       [this] {
         Soluc({});
         std::filesystem::remove(tables_ / "CURSOST.DBF");
       },
       "CURSOST"},
      {"SOLUC without HORA",
       [this] {
         static constexpr FieldDef kFields[] = {{"PROF", FieldKind::kText, 4},
                                                {"DIA", FieldKind::kInteger, 0},
                                                {"ASIG", FieldKind::kText, 4},
                                                {"CODGRUPO", FieldKind::kText, 4},
                                                {"AULA", FieldKind::kText, 4}};
         WriteTable(tables_.path(), TableDef{"SOLUC", kFields},
                    {{"MGAR", "1", "MATE", "1ESO", "AULA"}});
       },
       "HORA"},
      {"non-numeric DIA",
       [this] {
         WriteTable(tables_.path(), kSolucWithTextDay,
                    {{"MGAR", "L", "1", "MATE", "1ESO", "AULA"}});
       },
       "DIA"},
      {"document without SALIDAS",
       [this] {
         Soluc({});
         testing::WriteFile(document_, "<SERVICIO><OTRO/></SERVICIO>");
       },
       "SALIDAS"},
      {"document not well-formed",
       [this] {
         Soluc({});
         testing::WriteFile(document_, "<SERVICIO>");
       },
       "horario.xml"},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(tables_ / "SOLUC.DBF");
    WriteTable(tables_.path(), tables::kCursost, {});
    testing::WriteFile(document_, kDocument);
    c.arrange();
    const std::string message = ExpectFailure();
    EXPECT_NE(message.find(c.message_part), std::string::npos) << c.what << ": " << message;
  }
}

TEST_F(ImportRunTest, ASolvedTimetableHeldByAnotherProgramStopsTheRun) {
  Soluc({{"MGAR", "1", "1", "MATE", "1ESO", "AULA"}});
  testing::HoldingProcess timetabling_program(tables_ / "SOLUC.DBF");
  const std::string message = ExpectFailure();
  EXPECT_NE(message.find("SOLUC"), std::string::npos) << message;
}

TEST_F(ImportRunTest, TablesAreClosedAfterARunThatFailed) {
  Soluc({{"MGAR", "1", "1", "MATE", "1ESO", "AULA"}});
  testing::WriteFile(document_, "<SERVICIO/>");  // no SALIDAS: fails after opening the tables
  EXPECT_THROW(Import(), Error);
  testing::WriteFile(document_, kDocument);
  EXPECT_NO_THROW(Import());
  EXPECT_NO_THROW(Import());  // a second run replaces the first one's result
}

// A dBase 7 solved timetable: DIA and HORA as binary integers (big-endian, sign
// bit flipped), one row marked deleted, which the walk must not see.
TEST_F(ImportRunTest, ReadsADBase7SolvedTimetableWithDeletedRows) {
  using testing::Big;
  const auto row = [](char flag, const char* prof, uint32_t dia, uint32_t hora, const char* asig) {
    return std::string(1, flag) + prof + Big(dia ^ 0x80000000u, 4) + Big(hora ^ 0x80000000u, 4) +
           asig + "1ESO" + "AULA";
  };
  testing::WriteFile(tables_ / "SOLUC.DBF", testing::DbfBytes(0x04,
                                                              {{"PROF", 'C', 4},
                                                               {"DIA", 'I', 4},
                                                               {"HORA", 'I', 4},
                                                               {"ASIG", 'C', 4},
                                                               {"CODGRUPO", 'C', 4},
                                                               {"AULA", 'C', 4}},
                                                              {row(' ', "MGAR", 1, 12, "GUAR"),
                                                               row('*', "MGAR", 1, 1, "MATE"),
                                                               row(' ', "MGAR", 1, 1, "MATE")}));
  const ImportReport report = Import();
  EXPECT_EQ(report.slots, 2u);
  EXPECT_EQ(DescribeTeachers(Result().document_element().child("SALIDAS")),
            (Lines{"EMP_1:E1|01/09/2020", "  TRAMO_1:T-GUARDIA|1|I12|R1|S2|G1",
                   "  TRAMO_2:156|1|I1|R1|S1|G1", "EMP_2:E2|F2", "EMP_3:E3|F3"}));
}

// The lookup tables' values are read only from rows a slot finds: a missing value
// field fails only when a slot needs it, and a value kept as a number reads as
// its text.
TEST_F(ImportRunTest, LookupValuesAreReadOnlyFromTheRowsASlotFinds) {
  static constexpr FieldDef kRoomsWithoutKey[] = {{"ABREV", FieldKind::kText, 4},
                                                  {"NOMBRE", FieldKind::kText, 40}};
  // ASIGT with TAREA kept as a number.
  static constexpr auto kNumericTaskFields = [] {
    std::array<FieldDef, std::size(tables::kAsigtFields)> fields{};
    std::copy(std::begin(tables::kAsigtFields), std::end(tables::kAsigtFields), fields.begin());
    fields[tables::kAsigt.Index("TAREA")] = {"TAREA", FieldKind::kInteger, 0};
    return fields;
  }();
  const struct {
    const char* what;
    TableDef table;
    std::vector<std::string> table_row;
    const char* slot_room;
    const char* outcome;  // the first slot, or the part of the error message
  } cases[] = {
      {"room without key, not found", {"AULAT", kRoomsWithoutKey}, {"AULA", "Aula"}, "NADA",
       "  TRAMO_1:156|1|I1||S1|G1"},
      {"room without key, found", {"AULAT", kRoomsWithoutKey}, {"AULA", "Aula"}, "AULA",
       "DEPCENTRO"},
      {"task number kept as a number",
       {"ASIGT", kNumericTaskFields},
       {"MATE", "", "1ESO", "", "", "", "", "", "4", "1111", "S1", "C1", "156"},
       "AULA",
       "  TRAMO_1:156|1|I1|R1|S1|G1"},
  };
  for (const auto& c : cases) {
    SetUp();
    WriteTable(tables_.path(), c.table, {c.table_row});
    Soluc({{"MGAR", "1", "1", "MATE", "1ESO", c.slot_room}});
    if (c.outcome[0] == ' ') {
      Import();
      EXPECT_EQ(DescribeTeachers(Result().document_element().child("SALIDAS")).at(1), c.outcome)
          << c.what;
    } else {
      const std::string message = ExpectFailure();
      EXPECT_NE(message.find(c.outcome), std::string::npos) << c.what << ": " << message;
    }
  }
}

TEST_F(ImportRunTest, ReadsTheSolvedTimetableUnderAnyLetterCase) {
  Soluc({{"MGAR", "1", "1", "MATE", "1ESO", "AULA"}}, "soluc.dbf");
  EXPECT_EQ(Import().slots, 1u);
}

}  // namespace
}  // namespace tvb
