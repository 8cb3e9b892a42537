// The cannon (shot, reload, shell flight, its light) and the light guns' four-frame cycle.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "app/lighting.h"
#include "tank/tank_fixture.h"

namespace {

using namespace brambleshot;
using tanktest::TankGl;

struct LightPosition {
  float x;
  float y;
};

// The position GL holds for a light, as sent with an identity modelview.
LightPosition lightPosition(GLenum light) {
  GLfloat position[4] = {0, 0, 0, 0};
  glGetLightfv(light, GL_POSITION, position);
  return {position[0], position[1]};
}

bool lit(GLenum light) {
  return glIsEnabled(light) == GL_TRUE;
}

class TankWeapons : public TankGl {
 protected:
  void SetUp() override {
    TankGl::SetUp();
    // Lights are sent through the modelview: with the identity GL keeps world coordinates.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }
};

TEST_F(TankWeapons, ShotReloadsFor500FramesWithTheCannonLightAt499To491) {
  tank.x = 0.5;
  tank.cannonAngle = 90.0;
  tank.fire();
  EXPECT_TRUE(tank.shellInFlight);
  EXPECT_EQ(tank.reload, 500);
  EXPECT_EQ(tank.shellX, 0.5);
  EXPECT_EQ(tank.shellY, 0.0);
  EXPECT_EQ(tank.shellHeading, 90.0);

  // A second shot before the next frame is not queued.
  tank.cannonAngle = 45.0;
  tank.fire();
  EXPECT_EQ(tank.reload, 500);
  EXPECT_EQ(tank.shellHeading, 90.0);

  for (int expected = 499; expected >= 491; --expected) {
    tank.updateCannon();
    ASSERT_EQ(tank.reload, expected);
    EXPECT_TRUE(lit(GL_LIGHT3)) << "reload " << expected;
  }
  // The light follows the barrel: 0.25 out along the cannon from (x, 1).
  EXPECT_NEAR(lightPosition(GL_LIGHT3).x, 0.5 + 0.25 * std::cos(45.0 * std::numbers::pi / 180),
              1e-6);
  EXPECT_NEAR(lightPosition(GL_LIGHT3).y, 1.0 + 0.25 * std::sin(45.0 * std::numbers::pi / 180),
              1e-6);

  tank.updateCannon();
  EXPECT_EQ(tank.reload, 490);
  EXPECT_FALSE(lit(GL_LIGHT3));

  tank.fire();
  EXPECT_EQ(tank.reload, 490) << "still reloading";
  for (int i = 0; i < 490; ++i)
    tank.updateCannon();
  EXPECT_EQ(tank.reload, 0);
  EXPECT_FALSE(lit(GL_LIGHT3));
  tank.updateCannon();
  EXPECT_EQ(tank.reload, 0) << "the count-down stops at 0";
  tank.fire();
  EXPECT_EQ(tank.reload, 500);
}

TEST_F(TankWeapons, ShellFliesStraightAndVanishesAtTheFieldsEdges) {
  struct Flight {
    double tankX;
    double heading;
  };
  // Along the ground to the left edge, straight up to the top, along the ground to the right.
  for (const Flight flight : {Flight{0.0, 0.0}, Flight{1.0, 90.0}, Flight{-1.0, 180.0}}) {
    SCOPED_TRACE(flight.heading);
    tank.reset();
    tank.x = flight.tankX;
    tank.cannonAngle = flight.heading;
    tank.fire();
    const double dx = std::cos(flight.heading * std::numbers::pi / 180) * 0.1;
    const double dy = std::sin(flight.heading * std::numbers::pi / 180) * 0.1;
    double expectedX = flight.tankX;
    double expectedY = 0.0;
    int frames = 0;
    while (tank.shellInFlight && frames < 100) {
      tank.updateCannon();
      ++frames;
      expectedX += dx;
      expectedY += dy;
      ASSERT_NEAR(tank.shellX, expectedX, 1e-9);
      ASSERT_NEAR(tank.shellY, expectedY, 1e-9);
      ASSERT_GE(tank.shellY, -1e-9) << "a shell never descends";
      const bool inside = tank.shellY < 4.5 && tank.shellX < 4.5 && tank.shellX > -4.5;
      ASSERT_EQ(tank.shellInFlight, inside) << "frame " << frames;
    }
    // About 4.5 / 0.1 frames from the start, less the tank's head start.
    const double distance = flight.heading == 90.0 ? 4.5 : 4.5 - std::fabs(flight.tankX);
    EXPECT_NEAR(frames, distance / 0.1, 1.0);
  }
}

TEST_F(TankWeapons, NextGamePutsTheCannonLightOutOnItsFirstFrame) {
  tank.fire();
  tank.updateCannon();
  ASSERT_TRUE(lit(GL_LIGHT3));
  tank.reset();  // switches no light off
  EXPECT_TRUE(lit(GL_LIGHT3));
  tank.updateCannon();
  EXPECT_FALSE(lit(GL_LIGHT3));
}

TEST_F(TankWeapons, OneFramePressGivesAWholeCycleOfLightsOnOffOnOff) {
  tank.x = -1.0;
  tank.leftGunAngle = 90.0;
  tank.rightGunAngle = 0.0;
  tank.gunsFiring = true;
  tank.updateGuns();
  tank.gunsFiring = false;  // released before the next frame
  EXPECT_EQ(tank.gunPhase, 1);
  EXPECT_TRUE(lit(GL_LIGHT1));
  EXPECT_TRUE(lit(GL_LIGHT2));
  EXPECT_NEAR(lightPosition(GL_LIGHT1).x, -1.0 + 0.28, 1e-6);
  EXPECT_NEAR(lightPosition(GL_LIGHT1).y, 0.25, 1e-6);
  EXPECT_NEAR(lightPosition(GL_LIGHT2).x, -1.0 - 0.28 + 0.25, 1e-6);
  EXPECT_NEAR(lightPosition(GL_LIGHT2).y, 0.0, 1e-6);

  const int phases[] = {2, 3, 0};
  const bool lights[] = {false, true, false};
  for (int i = 0; i < 3; ++i) {
    tank.updateGuns();
    EXPECT_EQ(tank.gunPhase, phases[i]);
    EXPECT_EQ(lit(GL_LIGHT1), lights[i]) << "frame " << i + 2;
    EXPECT_EQ(lit(GL_LIGHT2), lights[i]) << "frame " << i + 2;
  }
  // The cycle is over and the button is up: nothing more happens.
  tank.updateGuns();
  EXPECT_EQ(tank.gunPhase, 0);
  EXPECT_FALSE(lit(GL_LIGHT1));
}

TEST_F(TankWeapons, HeldButtonRepeatsTheCycleAndAnUnseenPressDoesNothing) {
  tank.gunsFiring = true;
  const int phases[] = {1, 2, 3, 0, 1, 2, 3, 0, 1};
  for (int expected : phases) {
    tank.updateGuns();
    EXPECT_EQ(tank.gunPhase, expected);
    EXPECT_EQ(lit(GL_LIGHT1), expected == 1 || expected == 3);
  }
  // Released mid-cycle: the cycle runs to its end.
  tank.gunsFiring = false;
  tank.updateGuns();
  tank.updateGuns();
  tank.updateGuns();
  EXPECT_EQ(tank.gunPhase, 0);
  EXPECT_FALSE(lit(GL_LIGHT2));

  // A press and release between two frames: the update never sees it.
  onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 0, 0);
  onMouse(GLUT_LEFT_BUTTON, GLUT_UP, 0, 0);
  tank.updateGuns();
  EXPECT_EQ(tank.gunPhase, 0);
  EXPECT_FALSE(lit(GL_LIGHT1));
}

TEST_F(TankWeapons, PausedOrOverTheFrameNeitherFiresNorReloads) {
  tank.fire();
  tank.gunsFiring = true;
  game.paused = true;
  drawFrame();
  EXPECT_EQ(tank.reload, 500);
  EXPECT_EQ(tank.gunPhase, 0);
  game.paused = false;
  squadron.gameOver = true;
  drawFrame();
  EXPECT_EQ(tank.reload, 500);
  EXPECT_EQ(tank.gunPhase, 0);
  squadron.clearGameOver();
  drawFrame();
  EXPECT_EQ(tank.reload, 499);
  EXPECT_EQ(tank.gunPhase, 1);
}

}  // namespace
