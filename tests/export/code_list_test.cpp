#include "export/code_list.h"

#include <gtest/gtest.h>

#include "text/error.h"

namespace tvb {
namespace {

struct Sequence {
  const char* what;
  CodeRule rule;
  std::vector<std::string> values;
  std::vector<std::string> codes;
};

std::vector<std::string> Elevens(const std::string& prefix, int n) {
  std::vector<std::string> v;
  for (int i = 1; i <= n; ++i) v.push_back(prefix + std::to_string(i));
  return v;
}

TEST(CodeListTest, GivesEachValueACodeUniqueAsStored) {
  const Sequence cases[] = {
      {"clash on four characters",
       kSubjectAndTaskCodes,
       {"MATE1", "MATE2", "MATE3"},
       {"MATE", "MAT1", "MAT2"}},
      {"long codes", kSubjectAndTaskCodes, {"MATEMATICAS1", "MATEMATICAS2"}, {"MATE", "MAT1"}},
      {"candidate already given",
       kSubjectAndTaskCodes,
       {"MATE1", "MATE2", "MAT1"},
       {"MATE", "MAT1", "MAT2"}},
      {"short code is its own candidate", kSubjectAndTaskCodes, {"FQ", "FQ"}, {"FQ", "FQ1"}},
      {"cut ending in a blank", kSubjectAndTaskCodes, {"ABC D", "ABC"}, {"ABC ", "ABC1"}},
      {"empty codes", kSubjectAndTaskCodes, {"", ""}, {"", "1"}},
      {"eleventh of a base",
       kSubjectAndTaskCodes,
       Elevens("MATE", 11),
       {"MATE", "MAT1", "MAT2", "MAT3", "MAT4", "MAT5", "MAT6", "MAT7", "MAT8", "MAT9", "MA10"}},
      {"teachers repeat", kTeacherCodes, {"JLG", "JLG"}, {"JLG", "JLG1"}},
      {"teachers by case", kTeacherCodes, {"ANA", "ana"}, {"ANA", "ana1"}},
      {"teachers long", kTeacherCodes, {"JLOPEZ", "JLOPEZ"}, {"JLOPEZ", "JLO1"}},
      {"teachers equal as stored", kTeacherCodes, {"MGARCIA", "MGARRIDO"}, {"MGARCIA", "MGA1"}},
      {"rooms", kRoomCodes, {"AULA 12", "AULA 13", "AULA 1"}, {"AULA", "AU1", "AU2"}},
      {"rooms repeat", kRoomCodes, {"A1", "A1"}, {"A1", "A11"}},
      {"rooms trimmed cut", kRoomCodes, {"LAB 2", "LAB"}, {"LAB", "LA1"}},
      {"rooms by case", kRoomCodes, {"TALLER", "taller"}, {"TALL", "ta1"}},
      {"groups", kGroupCodes, {"1ESO A", "1ESO B", "1ESO C"}, {"1ESO", "1ES1", "1ES2"}},
      {"groups by case", kGroupCodes, {"1eso a", "1ESO B"}, {"1eso", "1ES1"}},
      {"accented letters by case",
       kGroupCodes,
       {"\xC1"
        "REA",
        "\xE1"
        "rea"},
       {"\xC1"
        "REA",
        "\xE1"
        "re1"}},
  };
  for (const Sequence& c : cases) {
    CodeList list(c.rule, "T");
    std::vector<std::string> got;
    for (const std::string& v : c.values) got.push_back(list.Shorten(v));
    EXPECT_EQ(got, c.codes) << c.what;
  }
}

TEST(CodeListTest, ShortensTheBaseAsTheCounterGrows) {
  CodeList rooms(kRoomCodes, "AULAT");
  std::string last;
  for (int i = 0; i < 101; ++i) last = rooms.Shorten("AULA");
  EXPECT_EQ(last, "A100");  // after AU99
  EXPECT_TRUE(rooms.Holds("AU99"));
  EXPECT_TRUE(rooms.Holds("au10"));
}

TEST(CodeListTest, EndsWithAClearErrorWhenNoCodeIsLeft) {
  CodeList list(kSubjectAndTaskCodes, "ASIGNOMT");
  // The empty code, then 1 .. 9999 as the base shrinks to nothing.
  for (int i = 0; i < 10000; ++i) list.Shorten("");
  EXPECT_TRUE(list.Holds("9999"));
  try {
    list.Shorten("");
    FAIL() << "a code of five digits was given";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("ASIGNOMT"), std::string::npos) << e.what();
  }
}

TEST(CodeListTest, CountersFoundAcrossBasesStayUnique) {
  // MAT1 given as a candidate first; the base MAT then skips it.
  CodeList list(kSubjectAndTaskCodes, "T");
  EXPECT_EQ(list.Shorten("MAT1"), "MAT1");
  EXPECT_EQ(list.Shorten("MATE"), "MATE");
  EXPECT_EQ(list.Shorten("MATEX"), "MAT2");
  EXPECT_EQ(list.Shorten("MAT2X"), "MAT3");
  EXPECT_EQ(list.Shorten("MATEY"), "MAT4");
}

}  // namespace
}  // namespace tvb
