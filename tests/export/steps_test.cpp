#include <gtest/gtest.h>

#include "tests/export/export_fixture.h"
#include "text/error.h"

namespace tvb {
namespace {

using testing::Column;
using testing::Record;
using testing::SchoolDocument;
using testing::Strings;
using testing::Values;

class ExportStepsTest : public ::testing::Test {
 protected:
  ExportTables Run(const SchoolDocument& school,
                   std::initializer_list<void (*)(const xml::Document&, ExportTables&)> steps) {
    xml::Document doc = testing::LoadXml(dir_, school.Xml());
    ExportTables out;
    for (auto step : steps) step(doc, out);
    return out;
  }
  testing::TempDir dir_;
};

Record Subject(std::string key, std::string name, std::string code, std::string course = "C1",
               std::string minutes = "60") {
  return Values({key, name, code, course, minutes});
}

TEST_F(ExportStepsTest, SubjectsAndTasksShareCodesAndSkipRepeatedLongCodes) {
  SchoolDocument school;
  school.List("MATERIAS",
              {Subject("1", "Matem\xC3\xA1ticas", "MATE1"), Subject("2", "Mates", "MATE2"),
               Subject("3", "Lengua", "LENGUA"), Subject("4", "Otra", "Lengua"),
               Values({"solo un valor"}), Subject("5", std::string(50, 'N'), "FQ")});
  school.List("TAREAS", {Values({"T1", "Tarea", "MATE9"}), Values({"T2", "Repetida", "lengua"}),
                         Values({"T3", "Guardias", "GUARDIAS"})});
  const ExportTables out = Run(school, {ExportarMaterias, ExportarTareas});
  EXPECT_EQ(Column(out.asignomt, "COD"), (Strings{"MATE", "MAT1", "LENG", "FQ", "MAT2", "GUAR"}));
  EXPECT_EQ(Column(out.asignomt, "CODLARGO"),
            (Strings{"MATE1", "MATE2", "LENGUA", "FQ", "MATE9", "GUARDIAS"}));
  EXPECT_EQ(Column(out.asignomt, "NOMBRE")[0], "Matem\xE1ticas");
  EXPECT_EQ(Column(out.asignomt, "NOMBRE")[3], std::string(40, 'N'));
  EXPECT_EQ(Column(out.asignomt, "CODTAREA"), (Strings{"", "", "", "", "T1", "T3"}));
  EXPECT_EQ(Column(out.asignomt, "MATERIA"), Strings(6, ""));
}

TEST_F(ExportStepsTest, EmptyListsStillGiveTheirTables) {
  const ExportTables out =
      Run(SchoolDocument(), {ExportarMaterias, ExportarTareas, ExportarProfesores, ExportarAulas,
                             ExportarCursosGrupos, ExportarAsignaciones, ExportarTramos});
  for (const TableBuilder* t : {&out.asignomt, &out.proft, &out.aulat, &out.cursost, &out.grupost,
                                &out.asigt, &out.diashorast}) {
    EXPECT_EQ(t->RowCount(), 0u) << t->def().name;
  }
}

TEST_F(ExportStepsTest, TeachersKeepFourCharactersOfCodesUniqueAsStored) {
  SchoolDocument school;
  school.List("PROFESORES", {Values({"E1", "01/09/2020",
                                     "Mar\xC3\xAD"
                                     "a Garc\xC3\xAD"
                                     "a",
                                     "MGARCIA"}),
                             Values({"E2", "02/09/2020", "Manuel Garrido", "MGARRIDO"}),
                             Values({"E3", "03/09/2020", "Sin abreviatura", ""}),
                             Values({"E4", "04/09/2020", "Otro sin", ""}), Values({"x"})});
  const ExportTables out = Run(school, {ExportarProfesores});
  EXPECT_EQ(Column(out.proft, "ABREV"), (Strings{"MGAR", "MGA1", "", "1"}));
  EXPECT_EQ(Column(out.proft, "X_EMPLEADO"), (Strings{"E1", "E2", "E3", "E4"}));
  EXPECT_EQ(Column(out.proft, "F_TOMAPOS")[1], "02/09/2020");
  EXPECT_EQ(Column(out.proft, "NOMBRE")[0],
            "Mar\xED"
            "a Garc\xED"
            "a");
  EXPECT_EQ(Column(out.proft, "DNI"), Strings(4, ""));
}

TEST_F(ExportStepsTest, RoomsWithoutAbbreviationAreCodedFromTheirKey) {
  SchoolDocument school;
  school.List("AULAS",
              {Values({"R900", "Sal\xC3\xB3n de actos", ""}), Values({"R9001", "Patio", ""}),
               Values({"R1", "Aula", "  AULA 12 "}), Values({"R2", "Aula", "AULA 13"})});
  const ExportTables out = Run(school, {ExportarAulas});
  EXPECT_EQ(Column(out.aulat, "ABREV"), (Strings{"R900", "R91", "AULA", "AU1"}));
  EXPECT_EQ(Column(out.aulat, "DEPCENTRO"), (Strings{"R900", "R9001", "R1", "R2"}));
}

TEST_F(ExportStepsTest, GroupsTakeLevelAndCourseOfTheirCourseRowAsStored) {
  SchoolDocument school;
  school.List("CURSOS",
              {Values({"C1", "", "", "", "1"}), Values({"C2", "", "", "BACHILLER", "2BTO"}),
               Values({"C1", "", "", "OTRO", "9"}), Values({"CLAVE-MUY-LARGA", "", "", "L", "3"})});
  school.List("GRUPOS", {Values({"G1", "1ESO A", "C1"}), Values({"G2", "1ESO B", "C1"}),
                         Values({"G3", "2B", "C2"}), Values({"G4", "X", "c2"}),
                         Values({"G5", "", "CLAVE-MUY-LARGA"}), Values({"G6", "", "NADA"})});
  const ExportTables out = Run(school, {ExportarCursosGrupos});
  EXPECT_EQ(Column(out.cursost, "NIVEL"), (Strings{"NIV", "BACHI", "OTRO", "L"}));
  EXPECT_EQ(Column(out.cursost, "CLAVE")[3], "CLAVE-MUY-");
  EXPECT_EQ(Column(out.grupost, "ABREV"), (Strings{"1ESO", "1ES1", "2B", "X", "", "1"}));
  EXPECT_EQ(Column(out.grupost, "NIVEL"), (Strings{"NIV", "NIV", "BACHI", "", "", ""}));
  EXPECT_EQ(Column(out.grupost, "CURSO"), (Strings{"1", "1", "2BT", "", "", ""}));
  EXPECT_EQ(Column(out.grupost, "GRUPO"), (Strings{"A", "B", "B", "X", "", ""}));
  EXPECT_EQ(Column(out.grupost, "CLAVECURSO")[3], "c2");
  EXPECT_EQ(Column(out.grupost, "TURNO"), Strings(6, ""));
}

struct HoursCase {
  const char* minutes;
  const char* horas;
  std::string sesiones;
};

TEST_F(ExportStepsTest, WeeklyHoursAndSessionsPattern) {
  const HoursCase cases[] = {
      {"90", "2", "11"},
      {"", "1", "1"},
      {"60", "1", "1"},
      {"61", "2", "11"},
      {"0", "1", "1"},
      {"-60", "1", "1"},
      {"780", "13", std::string(13, '1')},
      {"781", "14", "1" + std::string(13, '1')},
      {"900", "15", "2" + std::string(13, '1')},
      {"1380", "23", "10" + std::string(13, '1')},
      {"$3C", "1", "1"},
  };
  SchoolDocument school;
  std::vector<Record> subjects;
  for (const HoursCase& c : cases)
    subjects.push_back(Subject("K", "Lengua", "LENG", "C1", c.minutes));
  school.List("MATERIAS", subjects);
  school.List("GRUPOS", {Values({"G1", "1A", "C1"})});
  const ExportTables out =
      Run(school, {ExportarMaterias, ExportarCursosGrupos, ExportarAsignaciones});
  ASSERT_EQ(out.asigt.RowCount(), std::size(cases));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(Column(out.asigt, "HORAS")[i], cases[i].horas) << cases[i].minutes;
    EXPECT_EQ(Column(out.asigt, "SESIONES")[i], cases[i].sesiones) << cases[i].minutes;
  }
}

TEST_F(ExportStepsTest, AssignmentsPairEachSubjectWithTheGroupsOfItsCourse) {
  SchoolDocument school;
  school.List("MATERIAS",
              {Subject("S1", "Matem\xC3\xA1ticas", "MATE1", "C1"),
               Subject("S2", "Guardia de recreo", "MATE2", "C1"),
               Subject("S3", "guardia en Biblioteca", "BIB", "C2"),
               Subject("S4", "Sin grupos", "XX", "C9", "no es n\xC3\xBAmero"),
               Subject("S5", "Caso", "CAS", "c1"), Subject("S6", "Otra vez", "mate1", "C2")});
  school.List("GRUPOS", {Values({"G1", "1ESO A", "C1"}), Values({"G2", "1ESO B", "C1"}),
                         Values({"G3", "2ESO A", "C2"})});
  const ExportTables out =
      Run(school, {ExportarMaterias, ExportarCursosGrupos, ExportarAsignaciones});
  // MATE2 was coded MAT1 in ASIGNOMT: the assignment names it so too.
  EXPECT_EQ(Column(out.asigt, "CASIG"), (Strings{"MATE", "MATE", "MAT1", "MAT1", "BIB", "MATE"}));
  EXPECT_EQ(Column(out.asigt, "CGRUP"), (Strings{"1ESO", "1ES1", "1ESO", "1ES1", "2ESO", "2ESO"}));
  EXPECT_EQ(Column(out.asigt, "GRUPO"), (Strings{"A", "B", "A", "B", "A", "A"}));
  EXPECT_EQ(Column(out.asigt, "TAREA"), (Strings{"156", "156", "281", "281", "286", "156"}));
  EXPECT_EQ(Column(out.asigt, "CLAVE"), (Strings{"S1", "S1", "S2", "S2", "S3", "S6"}));
  EXPECT_EQ(Column(out.asigt, "CLAVECURSO"), (Strings{"C1", "C1", "C1", "C1", "C2", "C2"}));
  EXPECT_EQ(Column(out.asigt, "CAULA"), Strings(6, ""));
  EXPECT_EQ(Column(out.asigt, "CPROF"), Strings(6, ""));
}

TEST_F(ExportStepsTest, NonNumericMinutesNameTheListAndRecord) {
  SchoolDocument school;
  school.List("MATERIAS", {Subject("S1", "A", "A1"), Subject("S2", "B", "B1", "C1", "cuatro")});
  school.List("GRUPOS", {Values({"G1", "1A", "C1"})});
  try {
    Run(school, {ExportarMaterias, ExportarCursosGrupos, ExportarAsignaciones});
    FAIL();
  } catch (const ConversionError& e) {
    EXPECT_STREQ(
        e.what(),
        "'cuatro' no es un valor entero válido (lista MATERIAS, registro 2, minutos semanales)");
  }
}

TEST_F(ExportStepsTest, MissingPositionNamesListRecordAndPosition) {
  SchoolDocument school;
  school.List("PROFESORES", {Values({"E1", "F", "N", "A"}), Values({"E2", "F", "N"})});
  try {
    Run(school, {ExportarProfesores});
    FAIL();
  } catch (const Error& e) {
    const std::string message = e.what();
    EXPECT_NE(message.find("PROFESORES"), std::string::npos) << message;
    EXPECT_NE(message.find("2"), std::string::npos) << message;
    EXPECT_NE(message.find("3"), std::string::npos) << message;
  }
}

Record Period(std::vector<std::pair<std::string, std::string>> named) {
  Record record;
  for (auto& [dato, text] : named) record.push_back({dato, text});
  return record;
}

Record Period(std::string key, std::string order, std::string start = "8:30",
              std::string end = "9:25") {
  return Period({{"CODIGO_BRIVO", key},
                 {"NOMBRE", "Tramo " + key},
                 {"INICIO", start},
                 {"FIN", end},
                 {"ORDEN", order}});
}

TEST_F(ExportStepsTest, PeriodsComeInOrderOfTheirOrderNumbers) {
  SchoolDocument school;
  school.List("INTERVALOS",
              {Period("P3", "3"), Period("P1", " 1 "), Period("P2", "2"), Period("P2b", "2"),
               Period("P0", "0"), Period("P41", "41"), Period("P01", "01"), Period("P3.0", "3.0"),
               Period({{"CODIGO_BRIVO", "SIN"}}), Period({{"orden", "4"}, {"CODIGO_BRIVO", "MAL"}}),
               Period({{"ORDEN", "40"}, {"INICIO", "14:00"}, {"FIN", "13:00"}}), Period({})});
  const ExportTables out = Run(school, {ExportarTramos});
  ASSERT_EQ(out.diashorast.RowCount(), 5u * 7);
  const Strings keys = Column(out.diashorast, "CODDIHO");
  const Strings diho = Column(out.diashorast, "DIHO");
  EXPECT_EQ((Strings{keys[0], keys[7], keys[14], keys[21], keys[28]}),
            (Strings{"P1", "P2", "P2b", "P3", ""}));
  EXPECT_EQ((Strings{diho[0], diho[6], diho[7], diho[34]}), (Strings{"11", "71", "12", "75"}));
  EXPECT_EQ(Column(out.diashorast, "HORADESDE")[6], "08:30");
  EXPECT_EQ(Column(out.diashorast, "HORAHASTA")[6], "09:25");
  EXPECT_EQ(Column(out.diashorast, "MINUTOS")[0], "55");
  EXPECT_EQ(Column(out.diashorast, "MINUTOS")[34], "-60");
  EXPECT_EQ(Column(out.diashorast, "TEXTOHOR")[34], "");
  EXPECT_EQ(Column(out.diashorast, "TEXTODIA"), Strings(35, ""));
  EXPECT_EQ(Column(out.diashorast, "DIA")[3], "4");
}

TEST_F(ExportStepsTest, TenthPeriodNumbersItsSlotsWithTwoDigits) {
  std::vector<Record> periods;
  for (int i = 1; i <= 10; ++i)
    periods.push_back(Period("P" + std::to_string(i), std::to_string(i)));
  SchoolDocument school;
  school.List("INTERVALOS", periods);
  const ExportTables out = Run(school, {ExportarTramos});
  EXPECT_EQ(Column(out.diashorast, "DIHO")[63], "110");
  EXPECT_EQ(Column(out.diashorast, "HORA")[63], "10");
}

TEST_F(ExportStepsTest, BadPeriodTimesNameTheRecordAndPart) {
  const std::pair<const char*, const char*> cases[] = {
      {"10:30:00",
       "'30:00' no es un valor entero válido (lista INTERVALOS, registro 1, minutos de fin)"},
      {"", "'' no es un valor entero válido (lista INTERVALOS, registro 1, minutos de fin)"},
      {"ab:30", "'ab' no es un valor entero válido (lista INTERVALOS, registro 1, horas de fin)"},
  };
  for (const auto& [end, message] : cases) {
    SchoolDocument school;
    school.List("INTERVALOS", {Period("P1", "1", "8:30", end)});
    try {
      Run(school, {ExportarTramos});
      ADD_FAILURE() << end;
    } catch (const ConversionError& e) {
      EXPECT_STREQ(e.what(), message);
    }
  }
}

}  // namespace
}  // namespace tvb
