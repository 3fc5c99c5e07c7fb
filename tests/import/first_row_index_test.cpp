#include "import/first_row_index.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tvb {
namespace {

struct Row {
  std::string key, first, second;
};

// Texts of every length around what an entry holds inline, and keys that share
// their start: each must come back whole, from the first row that had its key.
TEST(FirstRowIndexTest, KeepsTheFirstRowOfEachKeyWithItsCopies) {
  const std::string long_text(300, 'x');
  std::vector<Row> rows = {
      {"4:MATE1ESO", "S1", "156"},
      {"4:MATE1ESO", "S1-DUP", "999"},  // a later row of the same key
      {"", "empty key", ""},
      {"K", "", ""},
      {"K" + std::string(23, 'k'), "", ""},                    // fills an entry exactly
      {"K" + std::string(24, 'k'), "", ""},                    // one past it
      {"K" + std::string(300, 'k'), "", ""},                   // lengths past a byte
      {"short", long_text, "second"},                          // a long copy
      {long_text, "a", "b"},                                   // a long key
      {long_text + "!", "a2", std::string(40, 'y')},           // shares the long key's start
  };
  for (int i = 0; i < 200; ++i) rows.push_back({"K" + std::to_string(i), "v" + std::to_string(i), ""});

  FirstRowIndex index(4);  // far too small a guess: the index grows
  for (std::size_t row = 0; row < rows.size(); ++row) {
    index.Emplace(rows[row].key, row, {rows[row].first, rows[row].second});
  }
  for (std::size_t row = 0; row < rows.size(); ++row) {
    if (row == 1) continue;
    const auto found = index.Find(rows[row].key);
    ASSERT_TRUE(found) << rows[row].key;
    EXPECT_EQ(found->row, row);
    EXPECT_EQ(found->copies[0], rows[row].first);
    EXPECT_EQ(found->copies[1], rows[row].second);
  }
  EXPECT_EQ(index.Find("4:MATE1ESO")->copies[0], "S1");
  EXPECT_FALSE(index.Find("4:MATE1ES"));
  EXPECT_FALSE(index.Find(long_text.substr(1)));
}

}  // namespace
}  // namespace tvb
