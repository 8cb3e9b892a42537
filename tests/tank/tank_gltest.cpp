// The tank in a real GL context: aiming through a frame's matrices, steering, the weapons and
// their lights, the input callbacks, and the tank in rendered frames.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

#include "app/frame.h"
#include "world/game.h"
#include "app/input.h"
#include "assets/bitmap.h"
#include "enemies/squadron.h"
#include "panel/panel.h"
#include "support/gl_env.h"
#include "support/test_util.h"
#include "tank/tank.h"

namespace {

using namespace brambleshot;

// A frame that draws the tank without advancing it; it leaves the scene's matrices for aiming.
void drawPausedFrame() {
  const bool paused = game.paused;
  game.paused = true;
  drawFrame();
  game.paused = paused;
}

bool lit(GLenum light) {
  return glIsEnabled(light) == GL_TRUE;
}

// Each test starts playing, unpaused, at 800 x 600, with a fresh tank and the weapon lights off.
class TankGl : public ::testing::Test {
 protected:
  void SetUp() override {
    static const bool started = [] {  // start-up's squadron and tank steps, once per binary
      testenv::captureStdout([] {
        squadron.init(tankHitTest, game.score, game.kills, game.escapes);
        tank.init(camera);
        loadTexture("./Resources/desert05.bmp", kDesertTexture);
      });
      buildPanelLists();
      return true;
    }();
    ASSERT_TRUE(started);
    testenv::resizeWindow(800, 600);
    game.paused = game.helpShown = false;
    squadron.clearGameOver();
    tank.reset();
    for (GLenum light : {GL_LIGHT1, GL_LIGHT2, GL_LIGHT3})
      glDisable(light);
    drawPausedFrame();
  }

  void TearDown() override {
    glutIdleFunc(nullptr);  // the pause keys may have installed the game's idle callback
    game.paused = game.helpShown = false;
  }
};

TEST_F(TankGl, PointerMeetsThePlayPlaneAndTheWeaponsTurnToIt) {
  tank.aim(450, 300, camera);  // centre of the scene viewport
  EXPECT_NEAR(tank.aimX, 0.0, 1e-9);
  EXPECT_NEAR(tank.aimY, 1.80, 0.005);
  EXPECT_NEAR(tank.cannonAngle, 90.0, 1e-6);
  EXPECT_NEAR(tank.leftGunAngle, 98.83, 0.01);  // the guns lean in
  EXPECT_NEAR(tank.rightGunAngle, 81.17, 0.01);

  for (int i = 0; i < 20; ++i)
    tank.steer(-1, camera);  // the aim point stays under the pointer
  EXPECT_NEAR(tank.x, 1.0, 1e-9);
  EXPECT_NEAR(tank.aimX, 0.0, 1e-9);
  EXPECT_NEAR(tank.cannonAngle, 119.05, 0.05);

  // The scene's bottom-left pixel lies below the ground: mirrored, never downward, angles.
  tank.aim(100, 0, camera);
  EXPECT_NEAR(tank.aimX, 2.698, 0.001);
  EXPECT_NEAR(tank.aimY, -0.510, 0.001);
  EXPECT_NEAR(tank.cannonAngle, 16.72, 0.05);
  EXPECT_NEAR(tank.leftGunAngle, 19.78, 0.05);
  EXPECT_NEAR(tank.rightGunAngle, 14.46, 0.05);
}

TEST_F(TankGl, SteeringTakes43StepsEachWayAndTheWheelsTurnAtTheLimit) {
  for (const int direction : {-1, +1}) {
    tank.reset();
    for (int step = 1; step <= 43; ++step)
      tank.steer(direction, camera);
    EXPECT_NEAR(tank.x, -direction * 2.15, 1e-9);
    const double atLimit = tank.x;
    for (Mesh& wheel : tank.wheels)
      wheel.rotationAngle = 0.0;
    tank.steer(direction, camera);  // its candidate is exactly +-2.2
    EXPECT_EQ(tank.x, atLimit);
    for (const Mesh& wheel : tank.wheels)
      EXPECT_NEAR(wheel.rotationAngle, direction / 6.0, 1e-12);
  }
}

TEST_F(TankGl, NothingTheWindowOrPointerDoesMakesNaN) {
  // A singular projection keeps the last aim point, here exactly on the left gun's mount.
  tank.aimX = 0.28;
  tank.aimY = 0.0;
  glMatrixMode(GL_PROJECTION);
  glScaled(0.0, 0.0, 0.0);
  glMatrixMode(GL_MODELVIEW);
  tank.aim(450, 300, camera);
  EXPECT_EQ(tank.aimX, 0.28);
  EXPECT_EQ(tank.leftGunAngle, 90.0) << "a mount under its aim point points straight up";
  tank.aimX = tank.aimY = 1e-200;  // too short to square without underflow
  tank.aim(450, 300, camera);
  EXPECT_NEAR(tank.cannonAngle, 45.0, 1e-9);

  // Wild pointers in a normal window and in windows squeezed to no height or no width.
  constexpr double kHuge = std::numeric_limits<double>::max();
  for (const auto& size : {std::pair{800, 600}, {800, 0}, {0, 600}}) {
    testenv::resizeWindow(size.first, size.second);
    drawPausedFrame();
    for (const auto& p : {std::pair{kHuge, kHuge}, {-kHuge, 0.0}, {NAN, NAN}, {450.0, 0.0}}) {
      tank.aim(p.first, p.second, camera);
      tank.steer(+1, camera);
      EXPECT_TRUE(std::isfinite(tank.aimX + tank.aimY + tank.leftGunAngle + tank.rightGunAngle +
                                tank.cannonAngle))
          << size.first << " x " << size.second << " at " << p.first << ", " << p.second;
    }
  }
}

TEST_F(TankGl, ShotReloadsFor500FramesWithTheCannonLightAt499To491) {
  tank.x = -1.0;
  tank.cannonAngle = 180.0;
  tank.fire();
  tank.cannonAngle = 45.0;
  tank.fire();  // not queued: a second shell would change the flight below
  int flying = 0;
  for (int expected = 499; expected >= 0; --expected) {
    flying += tank.shellInFlight;
    tank.updateCannon();
    ASSERT_EQ(tank.reload, expected);
    EXPECT_EQ(lit(GL_LIGHT3), expected > 490) << expected;
  }
  EXPECT_NEAR(flying, 35, 1) << "a tenth a frame from under the tank to the field's edge";
  tank.fire();
  EXPECT_EQ(tank.reload, 500);
}

TEST_F(TankGl, OneFramePressGivesAWholeCycleOfLightsOnOffOnOff) {
  tank.gunsFiring = true;
  tank.updateGuns();
  tank.gunsFiring = false;  // released before the next frame
  const int phases[] = {1, 2, 3, 0, 0};
  for (int frame = 0; frame < 5; ++frame) {
    if (frame > 0) tank.updateGuns();
    EXPECT_EQ(tank.gunPhase, phases[frame]) << frame;
    EXPECT_EQ(lit(GL_LIGHT1), phases[frame] % 2 == 1) << frame;
    EXPECT_EQ(lit(GL_LIGHT2), phases[frame] % 2 == 1) << frame;
  }
}

TEST_F(TankGl, KeysActInLowerCaseOnlyAndPauseStopsSteeringAndFire) {
  onKeyboard('a', 0, 0);
  EXPECT_NEAR(tank.x, 0.05, 1e-12);
  for (unsigned char key : {'d', 'd', 'A', 'D', 'H', 'N', 'P', 'Q', 'x', '\x1b', '\0', '\xff'})
    onKeyboard(key, 0, 0);
  EXPECT_NEAR(tank.x, -0.05, 1e-12);
  EXPECT_FALSE(game.paused || game.helpShown);

  onKeyboard('p', 0, 0);
  for (unsigned char key : {'a', 'd', ' '})
    onKeyboard(key, 0, 0);
  EXPECT_NEAR(tank.x, -0.05, 1e-12);
  EXPECT_EQ(tank.reload, 0);
  onKeyboard('p', 0, 0);
  onKeyboard(' ', 0, 0);
  EXPECT_EQ(tank.reload, 500);

  // 'p' and 'h' from each state, as paused + 2 * helpShown: before, after 'p', after 'h'.
  const int rows[4][3] = {{0, 1, 3}, {1, 0, 2}, {3, 2, 0}, {2, 3, 1}};
  for (const auto& row : rows) {
    for (int k = 1; k <= 2; ++k) {
      game.paused = row[0] & 1;
      game.helpShown = row[0] & 2;
      onKeyboard("ph"[k - 1], 0, 0);
      EXPECT_EQ(game.paused + 2 * game.helpShown, row[k]) << row[0] << "ph"[k - 1];
    }
  }
}

TEST_F(TankGl, NewGameOnlyWhileOverAndItKeepsTheAim) {
  game.score = 1200;
  tank.health = 50;
  onKeyboard('n', 0, 0);  // a game is running: ignored
  EXPECT_EQ(game.score + tank.health, 1250);

  squadron.gameOver = true;
  game.kills = 6;
  tank.x = 1.5;
  tank.aim(450, 300, camera);
  const double aimX = tank.aimX, leftGun = tank.leftGunAngle;
  onKeyboard('n', 0, 0);
  EXPECT_FALSE(squadron.isGameOver());
  EXPECT_EQ(game.score + game.kills, 0);
  EXPECT_EQ(tank.x, 0.0);
  EXPECT_EQ(tank.health, 250);
  EXPECT_EQ(tank.aimX, aimX);
  EXPECT_EQ(tank.leftGunAngle, leftGun) << "angles wait for the pointer or a steering step";
}

TEST_F(TankGl, KeyQEndsTheProgramWithStatusZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // the child opens its own window
  EXPECT_EXIT(onKeyboard('q', 0, 0), ::testing::ExitedWithCode(0), "");
}

TEST_F(TankGl, LeftButtonHoldsTheGunsAndMotionAimsFromTheBottomRow) {
  onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 0, 0);
  onMouse(GLUT_RIGHT_BUTTON, GLUT_UP, 0, 0);
  EXPECT_TRUE(tank.gunsFiring);
  onMouse(GLUT_LEFT_BUTTON, GLUT_UP, 0, 0);
  onMouse(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 0, 0);
  EXPECT_FALSE(tank.gunsFiring);
  onMotion(100, 599);  // GLUT counts rows from the top
  EXPECT_NEAR(tank.aimX, 2.698, 0.001);
}

// The dome's pixels at 800 x 600 are compared with the same pixels while the game is over and
// the tank is not drawn, so the real images serve.
TEST_F(TankGl, TankShowsWhereItStandsAndIsGoneWhileTheGameIsOver) {
  const auto dome = [](double x) {  // 0xRRGGBB at (x, -0.12), x = 0 or 1 (screen left of centre)
    const testenv::Rgb c = testenv::readPixel(int(std::lround(450 - 130 * x)), 51);
    return c.r << 16 | c.g << 8 | c.b;
  };
  tank.aim(250, 450, camera);  // reticle out of the way
  squadron.gameOver = true;
  drawPausedFrame();
  const int backdrop0 = dome(0.0), backdrop1 = dome(1.0);
  squadron.gameOver = false;
  drawPausedFrame();
  EXPECT_NE(dome(0.0), backdrop0);
  EXPECT_EQ(dome(1.0), backdrop1);
  for (int i = 0; i < 20; ++i)
    onKeyboard('a', 0, 0);  // to x = 1
  drawPausedFrame();
  EXPECT_EQ(dome(0.0), backdrop0);
  EXPECT_NE(dome(1.0), backdrop1);
}

}  // namespace
