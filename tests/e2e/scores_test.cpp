// Best scores in the real game: a game played to its end by steering under the bombs lands in
// the table on screen, highlighted, and in the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "e2e/screen_layout.h"
#include "game_driver.h"
#include "support/test_util.h"

namespace e2e {

using namespace driver;
namespace {

// Three scores no game reaches: the new entry goes to the fourth row.
const std::string kTable =
    "brambleshot scores 1\n999999 90 2026-11-01\n999998 80 2026-11-02\n999997 70 2026-11-03\n";

bool isDark(const Rgb& p) {
  return p.r + p.g + p.b < 200;
}
// The highlighted row's amber text and bar, unlike the cream of the other rows.
bool isAmber(const Rgb& p) {
  return p.r > 150 && p.r - p.g > 40 && p.g - p.b > 40;
}

// Row r of the card at 800 x 600, right of the rank: the card is 3.3 units wide with its top at
// y 3.92, about 0.837 screen pixels per card texel, rows of 36 texels from texel 122.
Box cardRow(int r) {
  const int top = 127 + r * 301 / 10;
  return {300, top + 3, 635, top + 27};
}

int amberIn(const Picture& p, const Box& b) {
  return p.count(b.x0, b.y0, b.x1, b.y1, isAmber);
}

bool gameOver(const Picture& p) {
  return p.count(kGameOverLabel.x0, kGameOverLabel.y0, kGameOverLabel.x1, kGameOverLabel.y1,
                 [](const Rgb& c) { return !(c.r < 16 && c.g < 16 && c.b < 16); }) > 100;
}

TEST(BestScores, AFinishedGameIsHighlightedInTheTableAndKept) {
  VirtualScreen screen;
  ASSERT_TRUE(screen.ok());
  testenv::TempDir data;
  std::filesystem::create_directories(data / "brambleshot");
  testenv::writeFile(data / "brambleshot" / "scores", kTable);
  const Launch launch{{}, {"XDG_DATA_HOME=" + data.path().string()}};
  {
    GameProcess game(screen.name(), BRAMBLESHOT_SOURCE_DIR, 280.0, binaryPath(), launch);
    ASSERT_TRUE(game.waitForWindow()) << game.output();
    game.movePointer(450, 20);
    const Picture start = game.waitForPicture(gameOver);
    ASSERT_FALSE(start.empty());
    for (int r = 0; r < 4; ++r)
      EXPECT_LT(amberIn(start, cardRow(r)), 20) << "row " << r;

    // Drive under whatever falls until the tank is destroyed.
    game.key("n");
    Picture now = game.waitForPicture([](const Picture& p) { return !gameOver(p); });
    ASSERT_FALSE(now.empty());
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(220);
    while (!gameOver(now) && std::chrono::steady_clock::now() < end) {
      double sum = 0;
      int n = 0;
      for (int y = 300; y < 500; y += 2)
        for (int x = 100; x < 800; x += 2)
          if (isDark(now.at(x, y))) sum += x, ++n;
      const double tank = start.meanDifferentColumn(now, kGroundBand.x0, kGroundBand.y0,
                                                    kGroundBand.x1, kGroundBand.y1);
      if (n > 10 && tank >= 0) {
        const double gap = sum / n - tank;
        if (gap < -8) game.key("a");
        if (gap > 8) game.key("d");
      }
      now = game.capture();
      if (now.empty()) break;
    }
    ASSERT_TRUE(gameOver(now)) << "the tank survived";
    const Picture over =
        game.waitForPicture([](const Picture& p) { return amberIn(p, cardRow(3)) > 100; }, 10.0);
    ASSERT_FALSE(over.empty()) << "no highlighted row";
    for (int r : {0, 1, 2, 4})
      EXPECT_LT(amberIn(over, cardRow(r)), 20) << "row " << r;
    game.key("q");
    EXPECT_EQ(game.waitForExit(20.0), 0);
  }
  const std::string saved = testenv::readFile(data / "brambleshot" / "scores");
  EXPECT_EQ(saved.rfind(kTable, 0), 0u) << saved;
  EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 5) << saved;
}

}  // namespace
}  // namespace e2e
