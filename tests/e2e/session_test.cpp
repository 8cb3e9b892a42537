// Scripted random input for a few seconds; `make session` plays the sanitizer build for
// minutes (BRAMBLESHOT_SESSION_SECONDS).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <string_view>

#include "e2e/screen_layout.h"

namespace e2e {
namespace {

TEST(LongSession, PlaysWithRandomInputAndQuitsCleanly) {
  const char* setting = std::getenv("BRAMBLESHOT_SESSION_SECONDS");
  const double seconds = setting ? std::atof(setting) : 8.0;
  VirtualScreen screen;
  ASSERT_TRUE(screen.ok());
  GameProcess game(screen.name(), BRAMBLESHOT_SOURCE_DIR, seconds + 120.0);
  ASSERT_TRUE(game.waitForWindow()) << game.output();

  std::mt19937 random(20261206);  // the script is the same every run
  auto below = [&random](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
  const std::string_view keys[] = {"a", "d", "space", "n", "p", "h", "x", "A"};
  bool buttonDown = false;
  std::string_view pausedBy;  // "p" or "h" while paused
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end && game.running()) {
    if (!pausedBy.empty() && below(2) == 0) {  // resume soon, with the key that paused
      game.key(pausedBy.data());
      pausedBy = {};
    }
    std::string_view key = keys[below(8)];
    // Pause rarely, and never while paused already.
    if ((key == "p" || key == "h") && (below(10) > 0 || !pausedBy.empty())) key = "a";
    if (key == "n" || below(100) < 40) {
      game.key(key.data());
      if (key == "p" || key == "h") pausedBy = key;
    }
    game.movePointer(below(800), below(600));
    if (below(100) < 20) game.button(1, buttonDown = !buttonDown);
    if (below(100) < 3) game.button(3, below(100) < 50);
    game.settle(0.02);
  }
  ASSERT_TRUE(game.running()) << "the game ended during the session:\n" << game.output();
  game.button(1, false);
  game.key("q");
  EXPECT_EQ(game.waitForExit(60.0), 0) << game.output();  // the sanitizers end any other way
}

}  // namespace
}  // namespace e2e
