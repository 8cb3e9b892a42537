// The keyboard, mouse and motion callbacks driving the tank and the game states.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "tank/tank_fixture.h"

namespace {

using namespace brambleshot;

using InputKeys = tanktest::TankGl;

TEST_F(InputKeys, SteeringAndFireActOnlyWhileNotPaused) {
  onKeyboard('a', 0, 0);
  EXPECT_NEAR(tank.x, 0.05, 1e-12);
  onKeyboard('d', 0, 0);
  onKeyboard('d', 0, 0);
  EXPECT_NEAR(tank.x, -0.05, 1e-12);
  onKeyboard(' ', 0, 0);
  EXPECT_EQ(tank.reload, 500);
  EXPECT_TRUE(tank.shellInFlight);

  tank.reset();
  onKeyboard('p', 0, 0);
  ASSERT_TRUE(game.paused);
  onKeyboard('a', 0, 0);
  onKeyboard('d', 0, 0);
  onKeyboard(' ', 0, 0);
  EXPECT_EQ(tank.x, 0.0);
  EXPECT_EQ(tank.reload, 0);
  EXPECT_FALSE(tank.shellInFlight);
}

TEST_F(InputKeys, UpperCaseAndUnknownKeysDoNothing) {
  squadron.gameOver = true;
  game.score = 7;
  for (unsigned char key : {'A', 'D', 'H', 'N', 'P', 'Q', 'x', '\r', '\x1b', '\0', '\xff'}) {
    onKeyboard(key, 0, 0);
  }
  EXPECT_EQ(tank.x, 0.0);
  EXPECT_FALSE(game.paused);
  EXPECT_FALSE(game.helpShown);
  EXPECT_TRUE(squadron.isGameOver());
  EXPECT_EQ(game.score, 7);
}

TEST_F(InputKeys, NewGameOnlyWhileTheGameIsOver) {
  game.score = 1200;
  game.kills = 6;
  game.escapes = 2;
  tank.x = 1.5;
  tank.health = 50;
  onKeyboard('n', 0, 0);  // a game is running: ignored
  EXPECT_EQ(game.score, 1200);
  EXPECT_EQ(tank.health, 50);

  squadron.gameOver = true;
  game.paused = true;
  tank.aimX = 0.75;
  onKeyboard('n', 0, 0);
  EXPECT_FALSE(squadron.isGameOver());
  EXPECT_EQ(game.score, 0);
  EXPECT_EQ(game.kills, 0);
  EXPECT_EQ(game.escapes, 0);
  EXPECT_EQ(tank.x, 0.0);
  EXPECT_EQ(tank.health, 250);
  EXPECT_EQ(tank.aimX, 0.75) << "the aim point survives a new game";
  EXPECT_TRUE(game.paused) << "a new game started while paused stays paused";
}

TEST_F(InputKeys, PauseAndHelpTogglePairs) {
  struct Pair {
    bool paused;
    bool help;
  };
  struct Row {
    Pair before;
    Pair afterP;
    Pair afterH;
  };
  const Row rows[] = {
      {{false, false}, {true, false}, {true, true}},
      {{true, false}, {false, false}, {false, true}},
      {{true, true}, {false, true}, {false, false}},
      {{false, true}, {true, true}, {true, false}},
  };
  for (const Row& row : rows) {
    for (const unsigned char key : {'p', 'h'}) {
      const Pair expected = key == 'p' ? row.afterP : row.afterH;
      game.paused = row.before.paused;
      game.helpShown = row.before.help;
      onKeyboard(key, 0, 0);
      EXPECT_EQ(game.paused, expected.paused)
          << key << " from (" << row.before.paused << ", " << row.before.help << ")";
      EXPECT_EQ(game.helpShown, expected.help)
          << key << " from (" << row.before.paused << ", " << row.before.help << ")";
    }
  }
}

TEST_F(InputKeys, QuitEndsTheProgramWithStatusZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(onKeyboard('q', 0, 0), ::testing::ExitedWithCode(0), "");
}

using InputMouse = tanktest::TankGl;

TEST_F(InputMouse, LeftButtonHoldsTheGunsWhateverTheState) {
  for (const bool paused : {false, true}) {
    for (const bool over : {false, true}) {
      game.paused = paused;
      squadron.gameOver = over;
      onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 10, 10);
      EXPECT_TRUE(tank.gunsFiring);
      onMouse(GLUT_RIGHT_BUTTON, GLUT_UP, 10, 10);
      onMouse(GLUT_MIDDLE_BUTTON, GLUT_UP, 10, 10);
      EXPECT_TRUE(tank.gunsFiring) << "other buttons change nothing";
      onMouse(GLUT_LEFT_BUTTON, GLUT_UP, 10, 10);
      EXPECT_FALSE(tank.gunsFiring);
      onMouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 10, 10);
      EXPECT_FALSE(tank.gunsFiring);
    }
  }
}

TEST_F(InputMouse, MotionAimsWithYCountedFromTheBottomRow) {
  game.paused = true;
  squadron.gameOver = true;
  onMotion(450, 299);  // the scene's centre row, counted from the top
  EXPECT_EQ(tank.pointerX, 450);
  EXPECT_EQ(tank.pointerY, 300);
  EXPECT_NEAR(tank.aimY, 1.80, 0.005);
  EXPECT_NEAR(tank.cannonAngle, 90.0, 1e-6);
  onMotion(100, 599);
  EXPECT_EQ(tank.pointerY, 0);
  EXPECT_NEAR(tank.aimX, 2.698, 0.001);
  onMotion(100, 0);
  EXPECT_EQ(tank.pointerY, 599);
}

}  // namespace
