// The keyboard, mouse and motion callbacks driving the tank and the game states.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "tank/tank_fixture.h"

namespace {

using namespace brambleshot;
using InputKeys = tanktest::TankGl;

TEST_F(InputKeys, SteerAndFireOnlyWhileNotPausedAndOnlyInLowerCase) {
  onKeyboard('a', 0, 0);
  EXPECT_NEAR(tank.x, 0.05, 1e-12);
  onKeyboard('d', 0, 0);
  onKeyboard('d', 0, 0);
  EXPECT_NEAR(tank.x, -0.05, 1e-12);
  for (unsigned char key : {'A', 'D', 'H', 'N', 'P', 'Q', 'x', '\x1b', '\0', '\xff'}) {
    onKeyboard(key, 0, 0);
  }
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
}

TEST_F(InputKeys, NewGameOnlyWhileOverAndItKeepsTheAim) {
  game.score = 1200;
  tank.health = 50;
  onKeyboard('n', 0, 0);  // a game is running: ignored
  EXPECT_EQ(game.score, 1200);
  EXPECT_EQ(tank.health, 50);

  squadron.gameOver = true;
  game.paused = true;
  game.kills = 6;
  game.escapes = 2;
  tank.x = 1.5;
  tank.aim(450, 300, camera);
  const double aimX = tank.aimX, leftGun = tank.leftGunAngle;
  onKeyboard('n', 0, 0);
  EXPECT_FALSE(squadron.isGameOver());
  EXPECT_EQ(game.score + game.kills + game.escapes, 0);
  EXPECT_EQ(tank.x, 0.0);
  EXPECT_EQ(tank.health, 250);
  EXPECT_EQ(tank.aimX, aimX);
  EXPECT_EQ(tank.leftGunAngle, leftGun) << "angles wait for the pointer or a steering step";
  EXPECT_TRUE(game.paused);
}

TEST_F(InputKeys, PauseAndHelpTogglePairs) {
  // (paused, helpShown) before, after 'p', after 'h'.
  const bool rows[4][3][2] = {{{false, false}, {true, false}, {true, true}},
                              {{true, false}, {false, false}, {false, true}},
                              {{true, true}, {false, true}, {false, false}},
                              {{false, true}, {true, true}, {true, false}}};
  for (const auto& row : rows) {
    for (int k = 1; k <= 2; ++k) {
      game.paused = row[0][0];
      game.helpShown = row[0][1];
      onKeyboard(k == 1 ? 'p' : 'h', 0, 0);
      EXPECT_EQ(game.paused, row[k][0]) << row[0][0] << row[0][1] << k;
      EXPECT_EQ(game.helpShown, row[k][1]) << row[0][0] << row[0][1] << k;
    }
  }
}

TEST_F(InputKeys, QuitEndsTheProgramWithStatusZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // the child opens its own window
  EXPECT_EXIT(onKeyboard('q', 0, 0), ::testing::ExitedWithCode(0), "");
}

TEST_F(InputKeys, LeftButtonHoldsTheGunsAndMotionAimsFromTheBottomRow) {
  game.paused = true;
  squadron.gameOver = true;
  onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 0, 0);
  onMouse(GLUT_RIGHT_BUTTON, GLUT_UP, 0, 0);
  EXPECT_TRUE(tank.gunsFiring);
  onMouse(GLUT_LEFT_BUTTON, GLUT_UP, 0, 0);
  onMouse(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 0, 0);
  EXPECT_FALSE(tank.gunsFiring);

  onMotion(450, 299);  // GLUT counts rows from the top
  EXPECT_EQ(tank.pointerY, 300);
  EXPECT_NEAR(tank.aimY, 1.80, 0.005);
  onMotion(100, 599);
  EXPECT_EQ(tank.pointerY, 0);
  EXPECT_NEAR(tank.aimX, 2.698, 0.001);
}

}  // namespace
