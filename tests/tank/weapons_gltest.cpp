// The cannon's shot, reload, shell flight and light, and the light guns' four-frame cycle.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "tank/tank_fixture.h"

namespace {

using namespace brambleshot;

// Lights are sent through the modelview: with the identity GL keeps world coordinates.
class TankWeapons : public tanktest::TankGl {
 protected:
  void SetUp() override {
    TankGl::SetUp();
    glLoadIdentity();
  }
};

bool lit(GLenum light) {
  return glIsEnabled(light) == GL_TRUE;
}

TEST_F(TankWeapons, ShotReloadsFor500FramesWithTheCannonLightAt499To491) {
  tank.x = 0.5;
  tank.cannonAngle = 90.0;
  tank.fire();
  EXPECT_TRUE(tank.shellInFlight);
  EXPECT_EQ(tank.reload, 500);
  EXPECT_EQ(tank.shellX, 0.5);
  EXPECT_EQ(tank.shellY, 0.0);
  tank.cannonAngle = 45.0;
  tank.fire();  // not queued
  EXPECT_EQ(tank.shellHeading, 90.0);

  for (int expected = 499; expected >= 491; --expected) {
    tank.updateCannon();
    ASSERT_EQ(tank.reload, expected);
    EXPECT_TRUE(lit(GL_LIGHT3)) << expected;
  }
  // The light follows the barrel as it turns: 0.25 out along the cannon from (x, 1).
  GLfloat position[4];
  glGetLightfv(GL_LIGHT3, GL_POSITION, position);
  EXPECT_NEAR(position[0], 0.5 + 0.25 * std::cos(std::numbers::pi / 4), 1e-6);
  EXPECT_NEAR(position[1], 1.0 + 0.25 * std::sin(std::numbers::pi / 4), 1e-6);
  tank.updateCannon();
  EXPECT_FALSE(lit(GL_LIGHT3));

  for (int i = 0; i < 491; ++i)
    tank.updateCannon();
  EXPECT_EQ(tank.reload, 0);
  tank.fire();
  EXPECT_EQ(tank.reload, 500);
}

TEST_F(TankWeapons, ShellFliesStraightAndVanishesAtTheFieldsEdges) {
  // Along the ground to the left edge, straight up to the top, along the ground to the right.
  const struct {
    double tankX, heading;
    int frames;
  } flights[] = {{0.0, 0.0, 45}, {1.0, 90.0, 45}, {-1.0, 180.0, 35}};
  for (const auto& f : flights) {
    tank.reset();
    tank.x = f.tankX;
    tank.cannonAngle = f.heading;
    tank.fire();
    int frames = 0;
    while (tank.shellInFlight && frames < 100) {
      tank.updateCannon();
      ++frames;
      ASSERT_NEAR(tank.shellX,
                  f.tankX + frames * 0.1 * std::cos(f.heading * std::numbers::pi / 180), 1e-9);
      ASSERT_NEAR(tank.shellY, frames * 0.1 * std::sin(f.heading * std::numbers::pi / 180), 1e-9);
      ASSERT_EQ(tank.shellInFlight, tank.shellY < 4.5 && std::fabs(tank.shellX) < 4.5);
    }
    EXPECT_NEAR(frames, f.frames, 1) << "heading " << f.heading;
  }
}

TEST_F(TankWeapons, OneFramePressGivesAWholeCycleOfLightsOnOffOnOff) {
  tank.x = -1.0;
  tank.leftGunAngle = 90.0;
  tank.gunsFiring = true;
  tank.updateGuns();
  tank.gunsFiring = false;  // released before the next frame
  GLfloat position[4];
  glGetLightfv(GL_LIGHT1, GL_POSITION, position);
  EXPECT_NEAR(position[0], -1.0 + 0.28, 1e-6);
  EXPECT_NEAR(position[1], 0.25, 1e-6);

  const int phases[] = {1, 2, 3, 0, 0};
  const bool lights[] = {true, false, true, false, false};
  for (int frame = 0; frame < 5; ++frame) {
    if (frame > 0) tank.updateGuns();
    EXPECT_EQ(tank.gunPhase, phases[frame]) << frame;
    EXPECT_EQ(lit(GL_LIGHT1), lights[frame]) << frame;
    EXPECT_EQ(lit(GL_LIGHT2), lights[frame]) << frame;
  }
}

}  // namespace
