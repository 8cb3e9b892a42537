// A long session of the real game with scripted random input. In the normal suite it plays for
// a few seconds; `make session` plays the sanitizer build for minutes
// (BRAMBLESHOT_SESSION_SECONDS).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <string>

#include "game_driver.h"

namespace e2e {

using namespace driver;
namespace {

double sessionSeconds() {
  const char* value = std::getenv("BRAMBLESHOT_SESSION_SECONDS");
  return value ? std::atof(value) : 8.0;
}

TEST(LongSession, PlaysWithRandomInputAndQuitsCleanly) {
  const double seconds = sessionSeconds();
  VirtualScreen screen;
  ASSERT_TRUE(screen.ok());
  GameProcess game(screen.name(), BRAMBLESHOT_SOURCE_DIR, seconds + 120.0);
  ASSERT_TRUE(game.waitForWindow()) << game.output();

  std::mt19937 random(20261206);  // the script is the same every run
  auto chance = [&random](int percent) {
    return std::uniform_int_distribution<int>(0, 99)(random) < percent;
  };
  const char* keys[] = {"a", "d", "space", "n", "p", "h", "x", "A"};
  bool buttonDown = false;
  bool paused = false;
  int steps = 0;
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end && game.running()) {
    const char* key = keys[std::uniform_int_distribution<int>(0, 7)(random)];
    const std::string k = key;
    if ((k == "p" || k == "h") && !chance(10)) key = "a";  // pause rarely, and resume below
    if (k == "n" || chance(40)) game.key(key);
    if (k == "p" || k == "h") paused = !paused;
    if (paused && chance(50)) {
      game.key(k == "h" ? "h" : "p");
      paused = false;
    }
    game.movePointer(std::uniform_int_distribution<int>(0, 799)(random),
                     std::uniform_int_distribution<int>(0, 599)(random));
    if (chance(20)) {
      buttonDown = !buttonDown;
      game.button(1, buttonDown);
    }
    if (chance(3)) game.button(3, chance(50));
    game.settle(0.02);
    ++steps;
  }
  ASSERT_TRUE(game.running()) << "the game ended during the session:\n" << game.output();
  game.button(1, false);
  game.key("q");
  EXPECT_EQ(game.waitForExit(60.0), 0) << game.output();
  const std::string output = game.output();
  EXPECT_EQ(output.find("AddressSanitizer"), std::string::npos) << output;
  EXPECT_EQ(output.find("runtime error"), std::string::npos) << output;
  EXPECT_GT(steps, 10);
}

}  // namespace
}  // namespace e2e
