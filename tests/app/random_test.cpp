// The game's generator must give exactly its own sequence: every chance in the game depends on it.
#include <gtest/gtest.h>

#include <vector>

#include "app/random.h"

namespace {

std::vector<int> draws(std::uint32_t seed, int count) {
  brambleshot::srand(seed);
  std::vector<int> out;
  for (int i = 0; i < count; ++i)
    out.push_back(brambleshot::rand());
  return out;
}

TEST(Random, KnownSeedsGiveExactDraws) {
  EXPECT_EQ(draws(0, 5), (std::vector<int>{38, 7719, 21238, 2437, 8855}));
  EXPECT_EQ(draws(1, 5), (std::vector<int>{41, 18467, 6334, 26500, 19169}));
  EXPECT_EQ(draws(12345, 5), (std::vector<int>{7584, 19164, 25795, 22125, 5828}));
  // The state wraps modulo 2^32 rather than overflowing.
  EXPECT_EQ(draws(0xFFFFFFFFu, 3), (std::vector<int>{35, 29739, 3374}));
  EXPECT_EQ(brambleshot::randomState(), 2368614256u);
}

TEST(Random, ReseedingRepeatsTheSequence) {
  EXPECT_EQ(draws(777, 50), draws(777, 50));
  EXPECT_NE(draws(777, 50), draws(778, 50));
}

TEST(Random, DrawsCoverTheWholeRangeAndNothingElse) {
  brambleshot::srand(2026);
  int lowest = 1 << 20;
  int highest = -1;
  for (int i = 0; i < 200000; ++i) {
    const int value = brambleshot::rand();
    lowest = std::min(lowest, value);
    highest = std::max(highest, value);
  }
  EXPECT_EQ(lowest, 0);
  EXPECT_EQ(highest, brambleshot::kRandMax);
}

}  // namespace
