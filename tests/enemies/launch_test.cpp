// Launching aircraft: the caps of the score bands and the seeded speed and altitude draws.
#include <gtest/gtest.h>

#include "app/random.h"
#include "enemies/squadron.h"

namespace {

using brambleshot::Squadron;

// A squadron in play with its counters; launching issues no GL calls, so no window is needed.
struct Launcher {
  int score = 0;
  int kills = 0;
  int escapes = 0;
  Squadron squadron;

  Launcher(int startScore, int inFlight) : score(startScore) {
    squadron.score = &score;
    squadron.kills = &kills;
    squadron.escapes = &escapes;
    squadron.inFlight = inFlight;
  }
  // True when launchAircraft added an aircraft; checks that a refusal changes nothing at all.
  bool launch() {
    const std::size_t before = squadron.aircraft.size();
    const int inFlightBefore = squadron.inFlight;
    const std::uint32_t state = brambleshot::randomState();
    squadron.launchAircraft();
    if (squadron.aircraft.size() == before) {
      EXPECT_EQ(squadron.inFlight, inFlightBefore);
      EXPECT_EQ(brambleshot::randomState(), state) << "a refused launch drew a random number";
      return false;
    }
    EXPECT_EQ(squadron.aircraft.size(), before + 1);
    EXPECT_EQ(squadron.inFlight, inFlightBefore + 1);
    return true;
  }
};

TEST(AircraftLaunch, CapFollowsTheScoreBandAtItsEdges) {
  brambleshot::srand(7);
  EXPECT_FALSE(Launcher(24999, 3).launch());
  EXPECT_TRUE(Launcher(25000, 3).launch());
  EXPECT_FALSE(Launcher(49999, 4).launch());
  EXPECT_TRUE(Launcher(50000, 4).launch());
  EXPECT_FALSE(Launcher(50000, 5).launch());
  EXPECT_TRUE(Launcher(0, 2).launch());
  EXPECT_TRUE(Launcher(-500, 0).launch());
}

// Escapes can push the score back below a band while its aircraft are still up.
TEST(AircraftLaunch, RefusedWhileMoreAreInFlightThanTheBandAllows) {
  brambleshot::srand(7);
  EXPECT_FALSE(Launcher(24000, 5).launch());
  EXPECT_FALSE(Launcher(24000, 4).launch());
  EXPECT_FALSE(Launcher(49000, 5).launch());
}

TEST(AircraftLaunch, RefusedWhileTheGameIsOverEvenWithNoneInFlight) {
  brambleshot::srand(7);
  Launcher l(0, 0);
  l.squadron.gameOver = true;
  EXPECT_FALSE(l.launch());
}

struct Draw {
  int score;
  std::uint32_t seed;
  double speed;
  double altitude;
};

// Seed 1 yields 41, 18467, ...; seed 2 yields 45, 29216, ...; seed 3 yields 48, 7196, ...
// The speed is drawn first (not at all below 1000), then the altitude.
TEST(AircraftLaunch, SeededSpeedAndAltitudeByBand) {
  const Draw draws[] = {
      {0, 1, 0.01, 3.1},     {999, 2, 0.01, 3.1},   {1000, 1, 0.02, 3.8},  {4999, 3, 0.01, 2.8},
      {5000, 1, 0.03, 3.8},  {24999, 2, 0.01, 2.8}, {25000, 1, 0.02, 3.8}, {74999, 3, 0.01, 2.8},
      {75000, 1, 0.04, 3.8}, {89999, 3, 0.02, 2.8}, {90000, 2, 0.04, 2.8}, {123456, 3, 0.03, 2.8},
  };
  for (const Draw& d : draws) {
    SCOPED_TRACE(testing::Message() << "score " << d.score << ", seed " << d.seed);
    brambleshot::srand(d.seed);
    Launcher l(d.score, 0);
    ASSERT_TRUE(l.launch());
    const brambleshot::Aircraft& plane = l.squadron.aircraft.back();
    EXPECT_DOUBLE_EQ(plane.speed, d.speed);
    EXPECT_EQ(plane.y, d.altitude);
    EXPECT_EQ(plane.x, -3.5);
    EXPECT_EQ(plane.hitPoints, 200);
    EXPECT_FALSE(plane.dead);
  }
}

TEST(AircraftLaunch, ConsecutiveLaunchesUseSuccessiveDraws) {
  // Seed 1: 41, 18467, 6334, 26500, 19169, 15724.
  brambleshot::srand(1);
  Launcher l(30000, 0);
  for (int i = 0; i < 3; ++i)
    ASSERT_TRUE(l.launch());
  const auto& planes = l.squadron.aircraft;
  EXPECT_DOUBLE_EQ(planes[0].speed, 0.02);
  EXPECT_EQ(planes[0].y, 3.8);
  EXPECT_DOUBLE_EQ(planes[1].speed, 0.03);
  EXPECT_EQ(planes[1].y, 2.8);
  EXPECT_DOUBLE_EQ(planes[2].speed, 0.02);
  EXPECT_EQ(planes[2].y, 2.8);
}

}  // namespace
