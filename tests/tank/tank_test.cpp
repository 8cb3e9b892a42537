// The tank's blast box and damage: plain state, no display needed.
#include <gtest/gtest.h>

#include <cmath>

#include "tank/tank.h"

namespace {

// A blast square touching the tank's box does nothing; each overlapping blast costs 50, and the
// fifth destroys the tank.
TEST(TankBlast, TouchingDoesNoDamageOverlappingCosts50AndTheFifthOverlapDestroys) {
  // Tank x and y put one box edge exactly where a blast of radius 0.5 at (cx, cy) ends.
  const double cases[][4] = {{0.09, 0, 1, 0}, {-0.09, 0, -1, 0}, {0, 0.3, 0, 1}, {0, -0.22, 0, -1}};
  for (const auto& [x, y, cx, cy] : cases) {
    SCOPED_TRACE(testing::Message() << cx << ", " << cy);
    brambleshot::Tank tank;
    tank.x = x;
    tank.y = y;
    tank.health = 250;
    const double touching[2] = {cx, cy},
                 inward[2] = {std::nextafter(cx, 0.0), std::nextafter(cy, 0.0)};
    EXPECT_FALSE(tank.blastTest(touching, 0.5));
    for (int blast = 1; blast <= 4; ++blast)
      EXPECT_FALSE(tank.blastTest(inward, 0.5));
    EXPECT_EQ(tank.health, 50);
    EXPECT_TRUE(tank.blastTest(inward, 0.5));
    EXPECT_EQ(tank.health, 0);
  }
}

}  // namespace
