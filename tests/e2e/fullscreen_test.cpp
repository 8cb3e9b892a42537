// F11 and --fullscreen under Xvfb (1024 x 768, no window manager): the window fills the
// screen and comes back to its size.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "e2e/screen_layout.h"

namespace e2e {
namespace {

// Waits until X reports the window at the given size; false after the timeout.
bool waitForSize(GameProcess& game, int width, int height, double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  for (int w = 0, h = 0; std::chrono::steady_clock::now() < end;) {
    game.windowSize(w, h);
    if (w == width && h == height) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

TEST(Fullscreen, F11TogglesAndTheWindowReturnsToItsSize) {
  const struct {
    std::vector<std::string> args;
    int width, height;  // the windowed size F11 returns to
    bool startsFullscreen;
  } cases[] = {{{"--window", "640x480"}, 640, 480, false}, {{"--fullscreen"}, 800, 600, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[0]);
    VirtualScreen screen;
    ASSERT_TRUE(screen.ok());
    GameProcess game(screen.name(), BRAMBLESHOT_SOURCE_DIR, 90.0, binaryPath(), {c.args, {}});
    if (c.startsFullscreen) {
      // Not moved: without a window manager that races the game's own move to the corner.
      for (int look = 0; look < 600 && !game.findWindow(); ++look)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      ASSERT_TRUE(waitForSize(game, 1024, 768, 20.0)) << game.output();
    }
    ASSERT_TRUE(game.waitForWindow()) << game.output();
    // F11 once the game draws its frames.
    ASSERT_TRUE(sees(game, [](const Picture& p) {
      return count(p, {p.width() / 2, 0, p.width(), p.height()},
                   [](const Rgb& c) { return c.r + c.g + c.b > 300; }) > 1000;
    }));
    // Without a window manager freeglut now and then drops a resize; another F11 gets there.
    auto toggleTo = [&game](int width, int height) {
      for (int press = 0; press < 3; ++press) {
        game.key("F11");
        if (waitForSize(game, width, height, 6.0)) return true;
      }
      return false;
    };
    ASSERT_TRUE(!c.startsFullscreen || toggleTo(c.width, c.height));
    // Back and forth twice: each time the screen's size, then the old size again.
    for (int round = 0; round < 2; ++round) {
      ASSERT_TRUE(toggleTo(1024, 768));
      ASSERT_TRUE(toggleTo(c.width, c.height));
    }
    // The other special keys do nothing, and the game still answers its own keys.
    for (const char* key : {"F10", "Left", "q"})
      game.key(key);
    EXPECT_EQ(game.waitForExit(20.0), 0) << game.output();
  }
}

}  // namespace
}  // namespace e2e
