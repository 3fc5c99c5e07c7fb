#include "text/ansi.h"

#include <gtest/gtest.h>

namespace tvb {
namespace {

struct Conversion {
  const char* utf8;
  const char* ansi;
};

// Unicode to Windows-1252, with the look-alike rule for characters 1252 lacks.
TEST(AnsiTest, ConvertsUtf8ToWindows1252) {
  const Conversion cases[] = {
      {"Matemáticas", "Matem\xE1ticas"},
      {"Ñandú",
       "\xD1"
       "and\xFA"},
      {"€ „ ‰ Š Œ Ž ™ š œ ž Ÿ", "\x80 \x84 \x89 \x8A \x8C \x8E \x99 \x9A \x9C \x9E \x9F"},
      {"Erdős", "Erdos"},  // ő decomposes to o + double acute
      {"Čapek Şahin", "Capek Sahin"},
      {"ǖ", "\xFC"},   // ǖ -> ü + macron: ü is in 1252
      {"日本", "??"},  // no look-alike: one '?' per character
      {"😀x", "?x"},    // beyond the BMP: still one '?'
      {"", ""},
  };
  for (const Conversion& c : cases) {
    EXPECT_EQ(Utf8ToAnsi(c.utf8), c.ansi) << c.utf8;
  }
}

TEST(AnsiTest, MalformedUtf8BecomesQuestionMarks) {
  EXPECT_EQ(Utf8ToAnsi("a\xC3"), "a?");          // truncated sequence
  EXPECT_EQ(Utf8ToAnsi("\xC0\xAF"), "??");       // overlong form
  EXPECT_EQ(Utf8ToAnsi("\xED\xA0\x80"), "???");  // encoded surrogate
}

TEST(AnsiTest, EveryByteSurvivesARoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);
  EXPECT_EQ(Utf16ToAnsi(AnsiToUtf16(all)), all);
}

TEST(AnsiTest, ConvertsUtf16WithSurrogates) {
  EXPECT_EQ(Utf16ToAnsi(u"Ni\u00F1o \U0001F600"), "Ni\xF1o ?");
  EXPECT_EQ(Utf16ToAnsi(std::u16string(1, char16_t{0xD800}) + u"a"), "?a");  // lone surrogate
  EXPECT_EQ(AnsiToUtf8("\x80"), "€");
}

TEST(AnsiTest, TrimsCodesUpTo32AtBothEnds) {
  EXPECT_EQ(Trim(" \t\r\n\x01 AULA 12 \x1F\n"), "AULA 12");
  EXPECT_EQ(Trim(" \xA0x\xA0 "), "\xA0x\xA0");  // no-break space (160) is not trimmed
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(TrimTrailingSpaces("ABC \t "), "ABC \t");
}

TEST(AnsiTest, AsciiCaseChangesOnlyAToZ) {
  EXPECT_EQ(AsciiUpper("Guardia en biblioteca \xE1\xF1"), "GUARDIA EN BIBLIOTECA \xE1\xF1");
  EXPECT_EQ(AsciiLower("EXPORTAR \xC1"), "exportar \xC1");
}

TEST(AnsiTest, ComparesWindows1252LettersWithoutCase) {
  struct Case {
    const char* a;
    const char* b;
    bool same;
  };
  const Case cases[] = {
      {"LENGUA", "Lengua", true},
      {"\xE1"
       "rbol",
       "\xC1RBOL", true},  // á = Á
      {"ni\xF1o", "NI\xD1O", true},
      {"\x9A", "\x8A", true},  // š = Š
      {"\xFF", "\x9F", true},
      {"\xF7", "\xD7", false},  // ÷ is no letter
      {"\xDF", "SS", false},
      {"ABC", "ABC ", false},
      {"MATE", "MAT1", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SameText(c.a, c.b), c.same) << c.a << " / " << c.b;
    EXPECT_EQ(FoldCase(c.a) == FoldCase(c.b), c.same) << c.a << " / " << c.b;
  }
}

}  // namespace
}  // namespace tvb
