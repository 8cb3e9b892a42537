// The real game driven like a player: keys, pointer and button through XTest, judged by pixels
// of its window and by its exit status.
#include <gtest/gtest.h>
#include <signal.h>

#include "e2e/screen_layout.h"

namespace e2e {
namespace {

// Both ends of the help page's yellow title: no sky, score card or explosion covers both.
bool helpShown(const Picture& p) {
  const auto title = [](const Rgb& c) {
    return c.r > 230 && c.g > 180 && c.b < 140 && c.r - c.b > 110;
  };
  return count(p, {275, 55, 330, 100}, title) > 200 && count(p, {570, 55, 625, 100}, title) > 200;
}

bool muteMarkShown(const Picture& p) {
  const auto red = [](const Rgb& c) { return c.r > 150 && c.g < 110 && c.b < 110; };
  return count(p, kMuteCross, red) > 20;
}

class Play : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(screen.ok()) << "Xvfb did not start";
    game = std::make_unique<GameProcess>(screen.name(), BRAMBLESHOT_SOURCE_DIR, 150.0, binaryPath(),
                                         Launch{{"--mute"}, {}});
    ASSERT_TRUE(game->waitForWindow()) << game->output();
    game->movePointer(450, 120);  // keep the reticle up in the sky, away from the ground band
    startScreen = game->waitForPicture([](const Picture& p) { return shown(p, kStartLabel); });
    ASSERT_FALSE(startScreen.empty()) << game->output();
  }
  // Once the page 'h' brings up shows, every earlier input has been handled; returns the
  // paused picture under it, and a second 'h' resumes.
  Picture barrier() {
    game->key("h");
    Picture page = game->waitForPicture(helpShown);
    game->key("h");
    game->waitForPicture([](const Picture& p) { return !helpShown(p); });
    return page;
  }

  // Starts a game and waits until the tank shows.
  Picture newGame() {
    game->key("n");
    return game->waitForPicture(
        [this](const Picture& p) { return differing(p, startScreen, kGroundBand) > 500; });
  }

  // The mean column of what differs from the tankless start screen in the ground band.
  double tankColumn(const Picture& p) {
    return p.meanDifferentColumn(startScreen, kGroundBand.x0, kGroundBand.y0, kGroundBand.x1,
                                 kGroundBand.y1);
  }

  VirtualScreen screen;
  std::unique_ptr<GameProcess> game;
  Picture startScreen;
};

// The mute mark follows --mute and 'm'; only 'n' starts a game; after odd window sizes (a
// minimised window reports height 0) the tank still steers and 'q' quits cleanly.
TEST_F(Play, MutesStartsOnNSurvivesOddSizesSteersAndQuitsOnQ) {
  EXPECT_TRUE(muteMarkShown(startScreen));
  for (const char* key : {"N", "P", "Q", "m"})  // upper case neither starts, pauses nor quits
    game->key(key);
  const Picture unmuted = barrier();
  EXPECT_TRUE(shown(unmuted, kStartLabel));
  EXPECT_FALSE(muteMarkShown(unmuted));
  game->key("m");

  const Picture playing = newGame();
  EXPECT_TRUE(muteMarkShown(playing));
  EXPECT_FALSE(shown(playing, kStartLabel));
  EXPECT_NEAR(tankColumn(playing), 450.0, 30.0);  // bottom centre

  game->resize(801, 600);
  game->sendConfigure(801, 0);
  game->resize(317, 45);
  game->resize(800, 600);
  game->sendConfigure(800, 600);
  const double before = tankColumn(barrier());
  ASSERT_TRUE(game->running()) << game->output();
  for (int i = 0; i < 10; ++i)
    game->key("a");
  EXPECT_LT(tankColumn(barrier()), before - 30.0);
  game->key("q");
  EXPECT_EQ(game->waitForExit(20.0), 0);
}

// The pointer aims, the button and space fire; paused, nothing changes on screen, not even the
// reload count-down, and the panel says PAUSED. Killed by a signal, its messages are out.
TEST_F(Play, PointerAimsButtonAndSpaceFirePauseFreezesAndMessagesOutlastASignal) {
  ASSERT_FALSE(newGame().empty());
  game->movePointer(300, 150);
  const Picture atLeft = barrier();
  game->movePointer(650, 250);
  const Picture atRight = barrier();
  EXPECT_GT(differing(atLeft, atRight, {280, 130, 320, 170}), 40);
  EXPECT_GT(differing(atLeft, atRight, {630, 230, 670, 270}), 40);

  auto yellow = [](const Picture& p) {
    return count(p, {100, 40, 800, 600},
                 [](const Rgb& c) { return c.r > 200 && c.g > 200 && c.b < 90; });
  };
  const int yellowBefore = yellow(atRight);
  game->button(1, true);
  EXPECT_TRUE(sees(*game, [&](const Picture& p) { return yellow(p) > yellowBefore + 20; }))
      << "no tracers or gun flashes while the button is held";
  game->button(1, false);  // the burst runs to the end of its cycle, then the yellow goes
  EXPECT_TRUE(sees(*game, [&](const Picture& p) { return yellow(p) <= yellowBefore + 20; }));

  const Picture ready = game->capture();
  game->key("space");
  EXPECT_TRUE(sees(*game, [&](const Picture& p) {
    return differing(p, ready, kCannonState) > 100;
  })) << "the panel did not change from Cannon to Reloading";
  EXPECT_FALSE(shown(ready, kPausedMark));
  game->key("p");
  EXPECT_FALSE(shown(barrier(), kPausedMark)) << "the help page says it is paused itself";
  const Picture paused = game->capture();  // 'h' twice: paused, no help, as before
  EXPECT_TRUE(shown(paused, kPausedMark));
  game->settle(1.0);
  EXPECT_EQ(differing(paused, game->capture(), {0, 0, 800, 600}, 0), 0);
  game->key("p");
  EXPECT_TRUE(sees(*game, [&](const Picture& p) {
    return differing(p, paused, kCannonState, 0) && !shown(p, kPausedMark);
  }));
  game->sendSignal(SIGTERM);
  EXPECT_EQ(game->waitForExit(20.0), -1);
  for (const std::string file : {"bomb.bmp", "help_mask.bmp"})
    EXPECT_NE(game->output().find("Trying to load: ./Resources/" + file + "\n"), std::string::npos)
        << game->output();
}

// A demo replays with REPLAY (and PAUSED) on the panel and ends with status 0: its last
// picture, recorded without the mark, matched.
TEST(Replay, ShowsItsMarkWhilePlayingAndEndsOnTheRecordedPicture) {
  VirtualScreen screen;
  ASSERT_TRUE(screen.ok());
  GameProcess game(screen.name(), BRAMBLESHOT_SOURCE_DIR, 120.0, binaryPath(),
                   {{"--play", "tests/demo/games/pauses.demo"}, {}});
  ASSERT_TRUE(game.waitForWindow()) << game.output();
  // The demo's 400 x 300 window halves the panel.
  const auto lit = [](const Picture& p, const Box& b) {
    return count(p, b, [](const Rgb& c) { return c.r + c.g + c.b > 60; }) > 40;
  };
  const Box replay = {4, 162, 46, 168}, paused = {4, 104, 46, 110};
  EXPECT_TRUE(sees(game, [&](const Picture& p) { return lit(p, replay); })) << game.output();
  EXPECT_TRUE(sees(game, [&](const Picture& p) { return lit(p, replay) && lit(p, paused); }));
  EXPECT_EQ(game.waitForExit(100.0), 0) << game.output();
}

}  // namespace
}  // namespace e2e
