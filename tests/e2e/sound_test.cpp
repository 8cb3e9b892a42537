// The mute state (--mute, then the m key) shows as a red cross on the panel.
#include <gtest/gtest.h>

#include "e2e/screen_layout.h"

namespace e2e {
namespace {

TEST(Sound, MuteShowsAMarkOnThePanel) {
  VirtualScreen screen;
  ASSERT_TRUE(screen.ok());
  GameProcess game(screen.name(), BRAMBLESHOT_SOURCE_DIR, 60.0, binaryPath(), {{"--mute"}, {}});
  ASSERT_TRUE(game.waitForWindow()) << game.output();
  const auto red = [](const Rgb& c) { return c.r > 150 && c.g < 110 && c.b < 110; };
  for (bool mark : {true, false, true}) {
    EXPECT_TRUE(sees(game, [&](const Picture& p) {
      return (count(p, kMuteCross, red) > 20) == mark;
    })) << mark;
    game.key("m");
  }
  game.key("q");
  EXPECT_EQ(game.waitForExit(20.0), 0);
}

}  // namespace
}  // namespace e2e
