#include "text/str_to_int.h"

#include <gtest/gtest.h>

#include "text/error.h"

namespace tvb {
namespace {

TEST(StrToIntTest, AcceptsWhatTheToolkitAccepts) {
  struct Case {
    const char* text;
    int32_t value;
  };
  const Case cases[] = {
      {"90", 90},
      {"  781", 781},
      {"-60", -60},
      {"+7", 7},
      {"08", 8},
      {"$1F04A2", 0x1F04A2},
      {"$ff", 255},
      {"-$3C", -60},
      {"x10", 16},
      {"X10", 16},
      {"$FFFFFFFF", -1},
      {"$80000000", INT32_MIN},
      {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"$00000000FF", 255},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
  }
}

TEST(StrToIntTest, RejectsEverythingElseWithTheToolkitText) {
  const char* rejected[] = {"",      " ",          "0x10",        "$0x1F",      "12 ",
                            "\t5",   "1.5",        "-",           "$",          "- 5",
                            "30:00", "2147483648", "-2147483649", "$100000000", "1e3"};
  for (const char* text : rejected) {
    try {
      StrToInt(text);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const ConversionError& e) {
      EXPECT_EQ(std::string(e.what()), "'" + std::string(text) + "' no es un valor entero válido");
    }
  }
}

TEST(StrToIntTest, QuotesAnsiTextAsUtf8InTheMessage) {
  try {
    StrToInt("\xF1");
    FAIL();
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'ñ' no es un valor entero válido");
  }
}

}  // namespace
}  // namespace tvb
