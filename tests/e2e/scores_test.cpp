// A game played to its end by steering under the bombs lands highlighted in the table on
// screen, and in the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "e2e/screen_layout.h"
#include "support/test_util.h"

namespace e2e {
namespace {

// Three scores no game reaches: the new entry goes to the fourth row.
const std::string kTable =
    "brambleshot scores 1\n999999 90 2026-11-01\n999998 80 2026-11-02\n999997 70 2026-11-03\n";

// Amber pixels (the highlighted row; others are cream) in row r of the card at 800 x 600.
int amberIn(const Picture& p, int r) {
  const int top = 127 + r * 301 / 10;
  return count(p, {300, top + 3, 635, top + 27},
               [](const Rgb& c) { return c.r > 150 && c.r - c.g > 40 && c.g - c.b > 40; });
}

TEST(BestScores, AFinishedGameIsHighlightedInTheTableAndKept) {
  const auto gameOver = [](const Picture& p) { return shown(p, kGameOverLabel); };
  VirtualScreen screen;
  ASSERT_TRUE(screen.ok());
  testenv::TempDir data;
  std::filesystem::create_directories(data / "brambleshot");
  testenv::writeFile(data / "brambleshot" / "scores", kTable);
  {
    GameProcess game(screen.name(), BRAMBLESHOT_SOURCE_DIR, 280.0, binaryPath(),
                     {{}, {"XDG_DATA_HOME=" + data.path().string()}});
    ASSERT_TRUE(game.waitForWindow()) << game.output();
    game.movePointer(450, 20);
    const Picture start = game.waitForPicture(gameOver);
    ASSERT_FALSE(start.empty());
    for (int r = 0; r < 4; ++r)
      EXPECT_LT(amberIn(start, r), 20) << "row " << r;

    // Drive under the mean column of the dark pixels in the sky until the tank is destroyed.
    game.key("n");
    Picture now = game.waitForPicture([&](const Picture& p) { return !gameOver(p); });
    ASSERT_FALSE(now.empty());
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(220);
    while (!now.empty() && !gameOver(now) && std::chrono::steady_clock::now() < end) {
      double sum = 0;
      int n = 0;
      for (int y = 300; y < 500; y += 2)
        for (int x = 100; x < 800; x += 2)
          if (const Rgb& c = now.at(x, y); c.r + c.g + c.b < 200) sum += x, ++n;
      const double tank = start.meanDifferentColumn(now, kGroundBand.x0, kGroundBand.y0,
                                                    kGroundBand.x1, kGroundBand.y1);
      if (n > 10 && tank >= 0) {
        const double gap = sum / n - tank;
        if (gap < -8) game.key("a");
        if (gap > 8) game.key("d");
      }
      now = game.capture();
    }
    ASSERT_TRUE(gameOver(now)) << "the tank survived";
    const Picture over =
        game.waitForPicture([](const Picture& p) { return amberIn(p, 3) > 100; }, 10.0);
    ASSERT_FALSE(over.empty()) << "no highlighted row";
    // Explosions may glow faintly through the card: other rows hold at most a trace of amber.
    for (int r : {0, 1, 2, 4})
      EXPECT_LT(amberIn(over, r) * 10, amberIn(over, 3)) << "row " << r;
    game.key("q");
    EXPECT_EQ(game.waitForExit(20.0), 0);
  }
  const std::string saved = testenv::readFile(data / "brambleshot" / "scores");
  EXPECT_EQ(saved.rfind(kTable, 0), 0u) << saved;
  EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 5) << saved;
}

}  // namespace
}  // namespace e2e
