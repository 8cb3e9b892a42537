// The real game driven like a player: keys, pointer and button through XTest, judged by pixels
// of its window and by its exit status.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "e2e/game_driver.h"
#include "e2e/screen_layout.h"

namespace e2e {
namespace {

bool isDark(const Rgb& p) {
  return p.r < 16 && p.g < 16 && p.b < 16;
}
bool isYellow(const Rgb& p) {
  return p.r > 200 && p.g > 200 && p.b < 90;
}

int differing(const Picture& a, const Picture& b, const Box& box, int tolerance = 24) {
  return a.countDifferent(b, box.x0, box.y0, box.x1, box.y1, tolerance);
}

// Pixels that differ clearly between two boxes of the same size.
int boxDifference(const Picture& a, const Box& boxA, const Picture& b, const Box& boxB) {
  int n = 0;
  for (int y = 0; y < boxA.y1 - boxA.y0; ++y)
    for (int x = 0; x < boxA.x1 - boxA.x0; ++x) {
      const Rgb& p = a.at(boxA.x0 + x, boxA.y0 + y);
      const Rgb& q = b.at(boxB.x0 + x, boxB.y0 + y);
      if (std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b) > 60) ++n;
    }
  return n;
}

// The read-outs stand a fraction of a pixel apart from one another, so the same digit may be
// drawn one row higher or lower: two boxes match when some such shift makes them agree.
bool sameBox(const Picture& a, const Box& boxA, const Picture& b, const Box& boxB) {
  const int area = (boxA.x1 - boxA.x0) * (boxA.y1 - boxA.y0);
  for (int shift = -1; shift <= 1; ++shift) {
    const Box shifted = {boxB.x0, boxB.y0 + shift, boxB.x1, boxB.y1 + shift};
    if (boxDifference(a, boxA, b, shifted) * 50 < area) return true;  // under 2 %
  }
  return false;
}

int darkPixels(const Picture& p, const Box& box) {
  return p.count(box.x0, box.y0, box.x1, box.y1, isDark);
}

// The tank's horizontal place on screen: the mean column of what differs from a tankless
// picture in the ground band.
double tankColumn(const Picture& withTank, const Picture& withoutTank) {
  return withTank.meanDifferentColumn(withoutTank, kGroundBand.x0, kGroundBand.y0, kGroundBand.x1,
                                      kGroundBand.y1);
}

class Play : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(screen.ok()) << "Xvfb did not start";
    game = std::make_unique<GameProcess>(screen.name(), BRAMBLESHOT_SOURCE_DIR, 150.0);
    ASSERT_TRUE(game->waitForWindow()) << game->output();
    // Keep the reticle up in the sky, away from the ground band.
    game->movePointer(450, 120);
    startScreen = game->waitForPicture([](const Picture& p) {
      return darkPixels(p, kStartLabel) <
             (kStartLabel.x1 - kStartLabel.x0) * (kStartLabel.y1 - kStartLabel.y0);
    });
    ASSERT_FALSE(startScreen.empty()) << game->output();
  }
  void TearDown() override {
    if (HasFailure() && game) {
      const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
      game->capture().writePpm(std::filesystem::temp_directory_path() / (name + ".ppm"));
    }
    game.reset();
  }

  // Starts a game and waits until the tank shows.
  Picture newGame() {
    game->key("n");
    return game->waitForPicture(
        [this](const Picture& p) { return differing(p, startScreen, kGroundBand) > 500; });
  }

  VirtualScreen screen;
  std::unique_ptr<GameProcess> game;
  Picture startScreen;
};

TEST_F(Play, OpensOnTheStartScreenAt800x600) {
  int width = 0, height = 0;
  game->windowSize(width, height);
  EXPECT_EQ(width, 800);
  EXPECT_EQ(height, 600);
  // Start and GameOver labels are drawn; the scene shows no tank (compared after 'n' below).
  EXPECT_LT(darkPixels(startScreen, kStartLabel),
            (kStartLabel.x1 - kStartLabel.x0) * (kStartLabel.y1 - kStartLabel.y0));
  EXPECT_LT(darkPixels(startScreen, kGameOverLabel),
            (kGameOverLabel.x1 - kGameOverLabel.x0) * (kGameOverLabel.y1 - kGameOverLabel.y0));
  // Score, kills and escapes all read 000000: the read-outs' rows are drawn identically, and the
  // score's ones place is the same zero as the health's ones place (health 250), its tens place
  // differs from the health's five.
  EXPECT_TRUE(sameBox(startScreen, readout(kScoreRow), startScreen, readout(kKillsRow)));
  EXPECT_TRUE(sameBox(startScreen, readout(kScoreRow), startScreen, readout(kEscapesRow)));
  EXPECT_TRUE(sameBox(startScreen, onesPlace(kScoreRow), startScreen, onesPlace(kHealthRow)));
  EXPECT_FALSE(sameBox(startScreen, tensPlace(kScoreRow), startScreen, tensPlace(kHealthRow)));

  const Picture playing = newGame();
  ASSERT_FALSE(playing.empty());
  // The labels go, the tank appears near the bottom centre.
  EXPECT_EQ(darkPixels(playing, kStartLabel),
            (kStartLabel.x1 - kStartLabel.x0) * (kStartLabel.y1 - kStartLabel.y0));
  EXPECT_EQ(darkPixels(playing, kGameOverLabel),
            (kGameOverLabel.x1 - kGameOverLabel.x0) * (kGameOverLabel.y1 - kGameOverLabel.y0));
  EXPECT_NEAR(tankColumn(playing, startScreen), 450.0, 30.0);
}

TEST_F(Play, SteersLeftAndRightAndStopsAtTheEdges) {
  ASSERT_FALSE(newGame().empty());
  auto columnAfter = [this](const char* key, int presses) {
    for (int i = 0; i < presses; ++i)
      game->key(key);
    game->settle(0.4);
    return tankColumn(game->capture(), startScreen);
  };
  const double leftEdge = columnAfter("a", 60);
  EXPECT_LT(leftEdge, 230.0);
  EXPECT_NEAR(columnAfter("a", 15), leftEdge, 3.0);
  const double middle = columnAfter("d", 43);
  EXPECT_NEAR(middle, 450.0, 30.0);
  const double rightEdge = columnAfter("d", 60);
  EXPECT_GT(rightEdge, 670.0);
  EXPECT_NEAR(columnAfter("d", 15), rightEdge, 3.0);
  // Upper case does nothing.
  EXPECT_NEAR(columnAfter("A", 20), rightEdge, 3.0);
}

TEST_F(Play, PointerMovesTheReticleAndTheButtonFiresTheGuns) {
  ASSERT_FALSE(newGame().empty());
  const Box sky = {100, 40, 800, 440};
  game->movePointer(300, 150);
  game->settle(0.3);
  const Picture atLeft = game->capture();
  game->movePointer(650, 250);
  game->settle(0.3);
  const Picture atRight = game->capture();
  // The reticle left the first place and shows at the second.
  EXPECT_GT(differing(atLeft, atRight, {280, 130, 320, 170}), 40);
  EXPECT_GT(differing(atLeft, atRight, {630, 230, 670, 270}), 40);

  const int yellowBefore = atRight.count(sky.x0, sky.y0, sky.x1, 600, isYellow);
  game->button(1, true);
  const Picture firing = game->waitForPicture([&](const Picture& p) {
    return p.count(sky.x0, sky.y0, sky.x1, 600, isYellow) > yellowBefore + 20;
  });
  EXPECT_FALSE(firing.empty()) << "no tracers or gun flashes while the button is held";
  game->button(1, false);
  game->settle(0.3);
  EXPECT_LE(game->capture().count(sky.x0, sky.y0, sky.x1, 600, isYellow), yellowBefore + 20);
}

TEST_F(Play, SpaceFiresTheCannonAndThePanelShowsReloading) {
  ASSERT_FALSE(newGame().empty());
  const Picture ready = game->capture();
  game->key("space");
  const Picture reloading = game->waitForPicture(
      [&](const Picture& p) { return differing(p, ready, kCannonState) > 100; });
  EXPECT_FALSE(reloading.empty()) << "the cannon state did not change after space";
}

TEST_F(Play, PauseFreezesAndHelpShowsOverThePausedScene) {
  ASSERT_FALSE(newGame().empty());
  game->key("space");  // the reload count-down makes a running game change from frame to frame
  game->settle(0.2);
  game->key("p");
  game->settle(0.3);
  const Picture paused = game->capture();
  game->settle(1.0);
  EXPECT_EQ(differing(paused, game->capture(), kScene, 0) +
                differing(paused, game->capture(), kCannonState, 0),
            0);

  game->key("p");  // resume: the reload digit counts down again
  EXPECT_FALSE(game->waitForPicture(
                       [&](const Picture& p) { return differing(p, paused, kCannonState, 0) > 0; })
                   .empty());

  game->key("h");  // help page over the scene, game paused
  const Picture help = game->waitForPicture(
      [&](const Picture& p) { return differing(p, paused, kHelpPage) > 20000; });
  ASSERT_FALSE(help.empty()) << "no help page after 'h'";
  game->settle(1.0);
  EXPECT_EQ(differing(help, game->capture(), {0, 0, 800, 600}, 0), 0);

  game->key("h");  // page gone, game running again
  const Picture after =
      game->waitForPicture([&](const Picture& p) { return differing(p, help, kHelpPage) > 20000; });
  ASSERT_FALSE(after.empty()) << "the help page stayed after the second 'h'";
  EXPECT_FALSE(game->waitForPicture(
                       [&](const Picture& p) { return differing(p, after, kCannonState, 0) > 0; })
                   .empty());
}

TEST_F(Play, UpperCaseKeysDoNothingAndQQuitsWithZero) {
  for (const char* key : {"N", "H", "P", "Q"})
    game->key(key);
  game->settle(0.5);
  ASSERT_TRUE(game->running());
  const Picture still = game->capture();
  EXPECT_EQ(differing(still, startScreen, kStartLabel, 0), 0);
  EXPECT_LT(differing(still, startScreen, kHelpPage), 5000);  // no help page (aircraft may pass)
  game->key("q");
  EXPECT_EQ(game->waitForExit(20.0), 0);
}

TEST_F(Play, SurvivesResizingToOddSizesAndZeroHeight) {
  ASSERT_FALSE(newGame().empty());
  game->resize(801, 600);
  game->settle(0.3);
  int width = 0, height = 0;
  game->windowSize(width, height);
  EXPECT_EQ(width, 801);
  game->sendConfigure(801, 0);  // what a minimised window reports
  game->settle(0.3);
  game->resize(317, 45);
  game->settle(0.3);
  game->resize(800, 600);
  game->sendConfigure(800, 600);
  game->settle(0.3);
  ASSERT_TRUE(game->running()) << game->output();
  // Still responsive: the tank still steers, and 'q' still quits cleanly.
  const double before = tankColumn(game->capture(), startScreen);
  for (int i = 0; i < 10; ++i)
    game->key("a");
  game->settle(0.3);
  EXPECT_LT(tankColumn(game->capture(), startScreen), before - 30.0);
  game->key("q");
  EXPECT_EQ(game->waitForExit(20.0), 0);
}

}  // namespace
}  // namespace e2e
