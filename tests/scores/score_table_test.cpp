// The best-score table: where a finished game lands, and the file text read back strictly (the
// store's tests check the exact text written).
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "scores/score_table.h"

namespace {

using brambleshot::ScoreEntry;
using brambleshot::ScoreTable;

ScoreEntry entry(int score, int kills = 0) {
  return {score, kills, 2026, 12, 7};
}

std::vector<int> scoresOf(const ScoreTable& table) {
  std::vector<int> scores;
  for (const ScoreEntry& e : table.entries)
    scores.push_back(e.score);
  return scores;
}

TEST(ScoreTable, FinishedGamesLandByScoreAndTiesGoBelowOlderEntries) {
  ScoreTable table;
  EXPECT_EQ(table.insert(entry(-150)), 0);  // a negative score still makes an empty table
  EXPECT_EQ(table.insert(entry(400)), 0);
  EXPECT_EQ(table.insert(entry(400, 9)), 1);  // a tie ranks below the earlier game
  EXPECT_EQ(table.insert(entry(0)), 2);
  EXPECT_EQ(scoresOf(table), (std::vector<int>{400, 400, 0, -150}));
  EXPECT_EQ(table.entries[1].kills, 9);

  for (int score : {900, 800, 700, 600, 500, 300})
    table.insert(entry(score));
  ASSERT_EQ(table.entries.size(), 10u);
  EXPECT_EQ(table.insert(entry(-150)), -1);  // equal to the last: the older entry stays
  EXPECT_EQ(table.insert(entry(-200)), -1);
  EXPECT_EQ(table.insert(entry(1)), 8);  // pushes the last one out
  EXPECT_EQ(table.entries.size(), 10u);
  EXPECT_EQ(table.entries.back().score, 0);
}

TEST(ScoreTable, ExtremeValuesReadBack) {
  ScoreTable table;
  table.entries = {{INT_MAX, INT_MAX, 9999, 12, 31}, {0, 0, 2024, 2, 29}, {INT_MIN, 3, 1970, 1, 1}};
  ScoreTable read;
  ASSERT_TRUE(brambleshot::parseScoreTable(brambleshot::formatScoreTable(table), read));
  EXPECT_EQ(read.entries, table.entries);
}

TEST(ScoreTable, AnythingElseIsRefused) {
  const std::string header = "brambleshot scores 1\n";
  std::string eleven = header;
  for (int i = 0; i < 11; ++i)
    eleven += "100 1 2026-12-07\n";
  const std::string refused[] = {
      "",
      "brambleshot scores 2\n",
      header + "100 1 2026-12-07",  // cut short
      header + "100 1 2026-12-07\r\n",
      header + "100  1 2026-12-07\n",
      header + "100 -1 2026-12-07\n",  // kills are never negative
      header + "2147483648 1 2026-12-07\n",
      header + "100 1 2025-02-29\n",                    // not a leap year
      header + "100 1 2026-12-07\n200 1 2026-12-07\n",  // out of order
      header + std::string("100 1 2026-12-07\0\n", 18),
      eleven,
  };
  for (const std::string& text : refused) {
    SCOPED_TRACE(text);
    ScoreTable table;
    table.entries = {entry(5)};
    EXPECT_FALSE(brambleshot::parseScoreTable(text, table));
    EXPECT_TRUE(table.entries.empty());
  }
}

}  // namespace
