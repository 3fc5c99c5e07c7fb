// The journal reads back only when it is whole: a run killed while writing it
// leaves a prefix, which must read as "no move was made".
#include <gtest/gtest.h>

#include "tables/table_set_journal.h"

namespace tvb {
namespace {

using Kind = JournalMove::Kind;

TEST(JournalTest, ReadsBackOnlyWhenWhole) {
  const std::vector<JournalMove> moves = {
      {Kind::kKeep, "ASIGT.DBF", "ASIGT.DBF.12-345.tvbtmp"},
      {Kind::kAside, "asigt.mdx", "asigt.mdx.12-346.tvbtmp"},
      {Kind::kPlace, "ASIGT.DBF.12-347.tvbtmp", "ASIGT.DBF"},
  };
  const std::string text = FormatJournal(moves);
  EXPECT_EQ(ParseJournal(text), moves);
  EXPECT_EQ(ParseJournal(FormatJournal({})), std::vector<JournalMove>{});
  for (std::size_t size = 0; size < text.size(); ++size) {
    EXPECT_EQ(ParseJournal(text.substr(0, size)), std::nullopt) << size;
  }
  // Names that would lead out of the table directory, or lines that do not parse.
  for (const std::string bad : {"../SOLUC.DBF", "a/b", "..", "", "x\ty"}) {
    EXPECT_EQ(ParseJournal(FormatJournal({{Kind::kPlace, "T.tvbtmp", bad}})), std::nullopt) << bad;
  }
  EXPECT_EQ(ParseJournal("transvb journal 1\nmove\ta\tb\nend\n"), std::nullopt);
}

}  // namespace
}  // namespace tvb
