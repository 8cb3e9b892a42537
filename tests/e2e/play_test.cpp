// The real game driven like a player: keys, pointer and button through XTest, judged by pixels
// of its window and by its exit status.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "e2e/screen_layout.h"
#include "game_driver.h"

namespace e2e {

using namespace driver;
namespace {

bool isDark(const Rgb& p) {
  return p.r < 16 && p.g < 16 && p.b < 16;
}
bool isYellow(const Rgb& p) {
  return p.r > 200 && p.g > 200 && p.b < 90;
}
bool isTitleYellow(const Rgb& p) {
  return p.r > 230 && p.g > 180 && p.b < 140 && p.r - p.b > 110;
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

// The help page shows when both ends of its yellow title do ("BR" and "OT"): the sky, the
// score card's title and a single explosion never cover both.
bool helpShown(const Picture& p) {
  return p.count(275, 55, 330, 100, isTitleYellow) > 200 &&
         p.count(570, 55, 625, 100, isTitleYellow) > 200;
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

int area(const Box& box) {
  return (box.x1 - box.x0) * (box.y1 - box.y0);
}

class Play : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(screen.ok()) << "Xvfb did not start";
    game = std::make_unique<GameProcess>(screen.name(), BRAMBLESHOT_SOURCE_DIR, 150.0);
    ASSERT_TRUE(game->waitForWindow()) << game->output();
    game->movePointer(450, 120);  // keep the reticle up in the sky, away from the ground band
    startScreen = game->waitForPicture(
        [](const Picture& p) { return darkPixels(p, kStartLabel) < area(kStartLabel); });
    ASSERT_FALSE(startScreen.empty()) << game->output();
  }
  void TearDown() override {
    if (HasFailure() && game) {
      const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
      game->capture().writePpm(std::filesystem::temp_directory_path() / (name + ".ppm"));
    }
  }

  // Events reach the game in order, so once the help page that 'h' brings up shows, every
  // earlier input has been handled; the paused picture under the page is returned, and a
  // second 'h' resumes the game. The page is recognised by its own look rather than by a
  // change from an earlier capture, which may be stale after a resize.
  Picture barrier() {
    game->key("h");
    Picture shown = game->waitForPicture(helpShown);
    game->key("h");
    game->waitForPicture([](const Picture& p) { return !helpShown(p); });
    return shown;
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

TEST_F(Play, OpensOnTheStartScreenAndUpperCaseKeysDoNothing) {
  int width = 0, height = 0;
  game->windowSize(width, height);
  EXPECT_EQ(width, 800);
  EXPECT_EQ(height, 600);
  EXPECT_LT(darkPixels(startScreen, kGameOverLabel), area(kGameOverLabel));
  // Score, kills and escapes all read 000000: the score's ones place is the same zero as the
  // health's (250), its tens place differs from the health's five.
  EXPECT_TRUE(sameBox(startScreen, readout(kScoreRow), startScreen, readout(kKillsRow)));
  EXPECT_TRUE(sameBox(startScreen, readout(kScoreRow), startScreen, readout(kEscapesRow)));
  EXPECT_TRUE(sameBox(startScreen, onesPlace(kScoreRow), startScreen, onesPlace(kHealthRow)));
  EXPECT_FALSE(sameBox(startScreen, tensPlace(kScoreRow), startScreen, tensPlace(kHealthRow)));

  for (const char* key : {"N", "P", "Q", "A"})
    game->key(key);
  const Picture still = barrier();
  ASSERT_TRUE(game->running());
  EXPECT_EQ(differing(still, startScreen, kStartLabel, 0), 0);
  EXPECT_EQ(differing(still, startScreen, kGroundBand), 0);  // still no tank

  const Picture playing = newGame();
  ASSERT_FALSE(playing.empty());
  EXPECT_EQ(darkPixels(playing, kStartLabel), area(kStartLabel));
  EXPECT_EQ(darkPixels(playing, kGameOverLabel), area(kGameOverLabel));
  EXPECT_NEAR(tankColumn(playing, startScreen), 450.0, 30.0);  // bottom centre
  game->key("q");
  EXPECT_EQ(game->waitForExit(20.0), 0);
}

TEST_F(Play, SteersLeftAndRightAndStopsAtTheEdges) {
  ASSERT_FALSE(newGame().empty());
  auto columnAfter = [this](const char* key, int presses) {
    for (int i = 0; i < presses; ++i)
      game->key(key);
    return tankColumn(barrier(), startScreen);
  };
  const double leftEdge = columnAfter("a", 60);
  EXPECT_LT(leftEdge, 230.0);
  EXPECT_NEAR(columnAfter("a", 15), leftEdge, 3.0);
  EXPECT_NEAR(columnAfter("d", 43), 450.0, 30.0);
  const double rightEdge = columnAfter("d", 60);
  EXPECT_GT(rightEdge, 670.0);
  EXPECT_NEAR(columnAfter("d", 15), rightEdge, 3.0);
}

TEST_F(Play, PointerAimsTheButtonFiresTheGunsAndSpaceTheCannon) {
  ASSERT_FALSE(newGame().empty());
  game->movePointer(300, 150);
  const Picture atLeft = barrier();
  game->movePointer(650, 250);
  const Picture atRight = barrier();
  // The reticle left the first place and shows at the second.
  EXPECT_GT(differing(atLeft, atRight, {280, 130, 320, 170}), 40);
  EXPECT_GT(differing(atLeft, atRight, {630, 230, 670, 270}), 40);

  auto yellow = [](const Picture& p) { return p.count(100, 40, 800, 600, isYellow); };
  const int yellowBefore = yellow(atRight);
  game->button(1, true);
  EXPECT_FALSE(
      game->waitForPicture([&](const Picture& p) { return yellow(p) > yellowBefore + 20; }).empty())
      << "no tracers or gun flashes while the button is held";
  game->button(1, false);  // the burst runs to the end of its cycle, then the yellow goes
  EXPECT_FALSE(
      game->waitForPicture([&](const Picture& p) { return yellow(p) <= yellowBefore + 20; })
          .empty());

  const Picture ready = game->capture();
  game->key("space");
  EXPECT_FALSE(game->waitForPicture(
                       [&](const Picture& p) { return differing(p, ready, kCannonState) > 100; })
                   .empty())
      << "the panel did not change from Cannon to Reloading";
}

TEST_F(Play, PauseFreezesAndHelpShowsOverThePausedScene) {
  ASSERT_FALSE(newGame().empty());
  game->key("space");  // the reload count-down changes the panel while the game runs
  game->key("p");
  barrier();  // 'h' twice: paused, no help, as before
  const Picture paused = game->capture();
  game->settle(1.0);
  EXPECT_EQ(differing(paused, game->capture(), {0, 0, 800, 600}, 0), 0);

  game->key("p");  // resumed: the reload digit counts down again
  EXPECT_FALSE(game->waitForPicture(
                       [&](const Picture& p) { return differing(p, paused, kCannonState, 0) > 0; })
                   .empty());

  game->key("h");  // help page over the scene, and paused
  const Picture help = game->waitForPicture(helpShown);
  ASSERT_FALSE(help.empty()) << "no help page after 'h'";
  game->settle(1.0);
  EXPECT_EQ(differing(help, game->capture(), {0, 0, 800, 600}, 0), 0);

  game->key("h");  // page gone, game running again
  const Picture after = game->waitForPicture([](const Picture& p) { return !helpShown(p); });
  ASSERT_FALSE(after.empty()) << "the help page stayed after the second 'h'";
  EXPECT_FALSE(game->waitForPicture(
                       [&](const Picture& p) { return differing(p, after, kCannonState, 0) > 0; })
                   .empty());
}

TEST_F(Play, SurvivesResizingToOddSizesAndZeroHeight) {
  ASSERT_FALSE(newGame().empty());
  game->resize(801, 600);
  game->sendConfigure(801, 0);  // what a minimised window reports
  game->resize(317, 45);
  game->resize(800, 600);
  game->sendConfigure(800, 600);
  const double before = tankColumn(barrier(), startScreen);
  ASSERT_TRUE(game->running()) << game->output();
  // Still responsive: the tank still steers, and 'q' still quits cleanly.
  for (int i = 0; i < 10; ++i)
    game->key("a");
  EXPECT_LT(tankColumn(barrier(), startScreen), before - 30.0);
  game->key("q");
  EXPECT_EQ(game->waitForExit(20.0), 0);
}

}  // namespace
}  // namespace e2e
