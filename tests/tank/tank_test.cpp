// The tank's blast box and damage: plain state, no display needed.
#include <gtest/gtest.h>

#include <cmath>

#include "tank/tank.h"

namespace {

TEST(TankBlast, TouchingDoesNoDamageOverlappingCosts50AndTheFifthOverlapDestroys) {
  // Tank x and y put one box edge exactly where a blast of radius 0.5 at (cx, cy) ends.
  const double cases[][4] = {{0.09, 0, 1, 0}, {-0.09, 0, -1, 0}, {0, 0.3, 0, 1}, {0, -0.22, 0, -1}};
  for (const auto& c : cases) {
    brambleshot::Tank tank;
    tank.x = c[0];
    tank.y = c[1];
    tank.health = 250;
    const double touching[2] = {c[2], c[3]};
    const double inward[2] = {std::nextafter(c[2], 0.0), std::nextafter(c[3], 0.0)};
    EXPECT_FALSE(tank.blastTest(touching, 0.5));
    EXPECT_EQ(tank.health, 250) << c[2] << ", " << c[3];
    for (int left = 200; left >= 50; left -= 50) {
      EXPECT_FALSE(tank.blastTest(inward, 0.5));
      EXPECT_EQ(tank.health, left) << c[2] << ", " << c[3];
    }
    EXPECT_TRUE(tank.blastTest(inward, 0.5));
    EXPECT_EQ(tank.health, 0);
  }
}

}  // namespace
