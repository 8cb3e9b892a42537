// The real game started as launchers and shells may start it: standard output closed, or a pipe
// whose reader has gone, and killed by a signal. Messages must never cost the game its life,
// and an image failure must still end it with status 1.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <string>

#include "e2e/screen_layout.h"
#include "game_driver.h"
#include "support/test_util.h"

namespace e2e {

using namespace driver;
namespace {

namespace fs = std::filesystem;

TEST(StandardStreams, ClosedOrBrokenOutputNeitherHangsNorKillsTheGame) {
  const struct {
    StandardOutput output;
    const char* missing;  // the resource taken away
    bool plays;           // true: a mesh, reported and survived; false: an image, status 1
  } cases[] = {
      // With descriptor 1 closed, the X connection would take it and carry the messages.
      {StandardOutput::closed, "num5.bmp", false},
      {StandardOutput::closed, "Tank.m", true},
      // Writing to a pipe without a reader must not end the game with SIGPIPE.
      {StandardOutput::brokenPipe, "help_mask.bmp", false},
      {StandardOutput::brokenPipe, "cessna500.m", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.missing) +
                 (c.output == StandardOutput::closed ? ", closed" : ", broken pipe"));
    VirtualScreen screen;
    ASSERT_TRUE(screen.ok());
    testenv::TempDir dir;
    fs::copy(resourcesPath(), dir / "Resources");
    fs::remove(dir / "Resources" / c.missing);
    Launch launch;
    launch.standardOutput = c.output;
    GameProcess game(screen.name(), dir.path(), 60.0, binaryPath(), launch);
    if (!c.plays) {
      EXPECT_EQ(game.waitForExit(30.0), 1) << game.output();
      continue;
    }
    ASSERT_TRUE(game.waitForWindow()) << game.output();
    game.key("n");
    game.keyDown("a");
    game.settle(0.3);
    game.keyUp("a");
    EXPECT_TRUE(game.running());
    game.key("q");
    EXPECT_EQ(game.waitForExit(20.0), 0) << game.output();
  }
}

TEST(StandardStreams, StartUpMessagesSurviveSigterm) {
  VirtualScreen screen;
  ASSERT_TRUE(screen.ok());
  GameProcess game(screen.name(), testenv::sourceDir(), 60.0);
  ASSERT_TRUE(game.waitForWindow()) << game.output();
  // The start screen's label shows once every image is loaded.
  const Picture start = game.waitForPicture([](const Picture& p) {
    return p.count(kStartLabel.x0, kStartLabel.y0, kStartLabel.x1, kStartLabel.y1,
                   [](const Rgb& c) { return c.r + c.g + c.b > 200; }) > 100;
  });
  ASSERT_FALSE(start.empty()) << game.output();
  game.sendSignal(SIGTERM);
  EXPECT_EQ(game.waitForExit(20.0), -1);
  // Every load was reported, and is out although the game never reached exit().
  EXPECT_NE(game.output().find("Trying to load: ./Resources/bomb.bmp\n"), std::string::npos);
  EXPECT_NE(game.output().find("Trying to load: ./Resources/help_mask.bmp\n"), std::string::npos)
      << game.output();
}

}  // namespace
}  // namespace e2e
