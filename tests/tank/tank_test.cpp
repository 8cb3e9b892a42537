// The tank's blast damage and new-game reset: plain state, no display needed.
#include <gtest/gtest.h>

#include <cmath>

#include "tank/tank.h"

namespace {

using brambleshot::Tank;

struct Touch {
  const char* edge;
  double tankX;
  double tankY;
  double centre[2];  // a blast of radius 0.5 whose square ends exactly on the box's edge
};

// Tank positions chosen so the edge lands exactly on +-0.5 in floating point.
constexpr Touch kTouches[] = {
    {"right", 0.09, 0.0, {1.0, 0.0}},
    {"left", -0.09, 0.0, {-1.0, 0.0}},
    {"top", 0.0, 0.3, {0.0, 1.0}},
    {"bottom", 0.0, -0.22, {0.0, -1.0}},
};

TEST(TankBlast, TouchingEdgeDoesNoDamageButOverlapCosts50) {
  for (const Touch& touch : kTouches) {
    SCOPED_TRACE(touch.edge);
    Tank tank;
    tank.x = touch.tankX;
    tank.y = touch.tankY;
    tank.health = 250;
    EXPECT_FALSE(tank.blastTest(touch.centre, 0.5));
    EXPECT_EQ(tank.health, 250);

    // Moving the blast's centre one ulp towards the tank makes the squares overlap.
    const double inward[2] = {std::nextafter(touch.centre[0], 0.0),
                              std::nextafter(touch.centre[1], 0.0)};
    EXPECT_FALSE(tank.blastTest(inward, 0.5));
    EXPECT_EQ(tank.health, 200);
  }
}

TEST(TankBlast, BlastAtACornerOnlyTouchingDoesNothing) {
  Tank tank;
  tank.x = 0.09;
  tank.y = 0.3;
  tank.health = 250;
  const double corner[2] = {1.0, 1.0};  // square's bottom-left corner on the box's top-right
  EXPECT_FALSE(tank.blastTest(corner, 0.5));
  EXPECT_EQ(tank.health, 250);
}

TEST(TankBlast, FiveOverlappingFramesDestroyAFullTank) {
  Tank tank;
  tank.x = 1.5;
  tank.y = -0.1;
  tank.health = 250;
  const double centre[2] = {1.7, 0.3};
  const int expected[] = {200, 150, 100, 50};
  for (int left : expected) {
    EXPECT_FALSE(tank.blastTest(centre, 0.3));
    EXPECT_EQ(tank.health, left);
  }
  EXPECT_TRUE(tank.blastTest(centre, 0.3));
  EXPECT_EQ(tank.health, 0);

  // A blast far away changes nothing, even on a destroyed tank.
  const double away[2] = {-3.0, 3.0};
  EXPECT_FALSE(tank.blastTest(away, 0.3));
  EXPECT_EQ(tank.health, 0);
}

TEST(TankReset, RestoresPlayStateAndKeepsAimAndAngles) {
  Tank tank;
  tank.x = -1.85;
  tank.y = -0.1;
  tank.health = 50;
  tank.gunsFiring = true;
  tank.gunPhase = 2;
  tank.reload = 321;
  tank.shellInFlight = true;
  tank.aimX = 1.25;
  tank.aimY = 2.5;
  tank.pointerX = 300;
  tank.pointerY = 410;
  tank.leftGunAngle = 100.5;
  tank.rightGunAngle = 80.5;
  tank.cannonAngle = 90.25;
  tank.wheels[2].orientation[1] = 0.5;

  tank.reset();

  EXPECT_EQ(tank.x, 0.0);
  EXPECT_EQ(tank.health, 250);
  EXPECT_FALSE(tank.gunsFiring);
  EXPECT_EQ(tank.gunPhase, 0);
  EXPECT_EQ(tank.reload, 0);
  EXPECT_FALSE(tank.shellInFlight);

  EXPECT_EQ(tank.y, -0.1);
  EXPECT_EQ(tank.aimX, 1.25);
  EXPECT_EQ(tank.aimY, 2.5);
  EXPECT_EQ(tank.pointerX, 300);
  EXPECT_EQ(tank.pointerY, 410);
  EXPECT_EQ(tank.leftGunAngle, 100.5);
  EXPECT_EQ(tank.rightGunAngle, 80.5);
  EXPECT_EQ(tank.cannonAngle, 90.25);
  EXPECT_EQ(tank.wheels[2].orientation[1], 0.5);
}

}  // namespace
