// Launching aircraft: the cap of each score band and the seeded speed and altitude draws.
#include <gtest/gtest.h>

#include "enemies/squadron.h"
#include "world/random.h"

namespace {

// Seed 0 yields 38; seed 1 yields 41, 18467; seed 2 yields 45, 29216; seed 3 yields 48, 7196. The
// speed is drawn first (not at all below 1000), then the altitude. A speed of 0 means the launch is
// refused.
TEST(AircraftLaunch, CapsAndSeededDrawsAtTheBandEdges) {
  const struct {
    int score, inFlight;
    std::uint32_t seed;
    double speed, altitude;
    bool over = false;
  } cases[] = {
      {0, 0, 0, 0.01, 3.4},     {999, 0, 2, 0.01, 3.1},   {1000, 0, 1, 0.02, 3.8},
      {4999, 0, 3, 0.01, 2.8},  {5000, 0, 1, 0.03, 3.8},  {24999, 2, 2, 0.01, 2.8},
      {24999, 3, 7, 0, 0},      {25000, 3, 1, 0.02, 3.8}, {49999, 4, 7, 0, 0},
      {50000, 4, 3, 0.01, 2.8}, {50000, 5, 7, 0, 0},      {74999, 0, 3, 0.01, 2.8},
      {75000, 0, 1, 0.04, 3.8}, {89999, 0, 3, 0.02, 2.8}, {90000, 0, 2, 0.04, 2.8},
      {24000, 5, 7, 0, 0},    // the score fell back a band with its aircraft still up
      {0, 0, 7, 0, 0, true},  // game over
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "score " << c.score << ", in flight " << c.inFlight);
    int score = c.score;
    brambleshot::Squadron s;
    s.score = &score;
    s.inFlight = c.inFlight;
    s.gameOver = c.over;
    brambleshot::srand(c.seed);
    s.launchAircraft();
    const bool launched = c.speed != 0;
    ASSERT_EQ(s.aircraft.size(), launched ? 1u : 0u);
    EXPECT_EQ(s.inFlight, c.inFlight + (launched ? 1 : 0));
    if (!launched) {
      EXPECT_EQ(brambleshot::randomState(), c.seed) << "a refused launch drew";
      continue;
    }
    const brambleshot::Aircraft& a = s.aircraft[0];
    EXPECT_DOUBLE_EQ(a.speed, c.speed);
    EXPECT_EQ(a.y, c.altitude);
    EXPECT_EQ(a.x, -3.5);
  }
}

}  // namespace
