// The tank's blast box and damage: plain state, no display needed.
#include <gtest/gtest.h>

#include <cmath>

#include "tank/tank.h"

namespace {

using brambleshot::Tank;

TEST(TankBlast, SquareTouchingAnEdgeDoesNoDamageAndOverlappingCosts50) {
  // Tank positions chosen so each box edge lands exactly on +-0.5; the blasts (radius 0.5)
  // end exactly on it.
  const struct {
    double tankX, tankY, cx, cy;
  } touches[] = {{0.09, 0, 1, 0}, {-0.09, 0, -1, 0}, {0, 0.3, 0, 1}, {0, -0.22, 0, -1}};
  for (const auto& t : touches) {
    Tank tank;
    tank.x = t.tankX;
    tank.y = t.tankY;
    tank.health = 250;
    const double touching[2] = {t.cx, t.cy};
    EXPECT_FALSE(tank.blastTest(touching, 0.5));
    EXPECT_EQ(tank.health, 250) << t.cx << ", " << t.cy;
    const double inward[2] = {std::nextafter(t.cx, 0.0), std::nextafter(t.cy, 0.0)};
    EXPECT_FALSE(tank.blastTest(inward, 0.5));
    EXPECT_EQ(tank.health, 200) << t.cx << ", " << t.cy;
  }
}

TEST(TankBlast, FifthOverlappingFrameDestroysAFullTank) {
  Tank tank;
  tank.x = 1.5;
  tank.y = -0.1;
  tank.health = 250;
  const double centre[2] = {1.7, 0.3};
  for (int left = 200; left >= 50; left -= 50) {
    EXPECT_FALSE(tank.blastTest(centre, 0.3));
    EXPECT_EQ(tank.health, left);
  }
  EXPECT_TRUE(tank.blastTest(centre, 0.3));
  EXPECT_EQ(tank.health, 0);
}

}  // namespace
