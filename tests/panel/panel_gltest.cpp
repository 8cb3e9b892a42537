// The instrument panel read in pixels. Every digit and label is a synthetic picture whose red
// names it and green the quarter, so a pixel says what is drawn there and which way round.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/frame.h"
#include "assets/bitmap.h"
#include "enemies/squadron.h"
#include "panel/panel.h"
#include "panel/panel_layout.h"
#include "support/gl_env.h"
#include "support/test_util.h"
#include "tank/tank.h"
#include "world/game.h"

namespace {

using namespace brambleshot;

// Each picture's texture id and the symbol a read-out shows for it. Picture i is drawn with red
// 20 + 12 i; its quarters (named as in support/gl_env.h) with green 30, 90, 150 and 210.
const char kSymbols[] = "0123456789-SGCRshke";
const GLuint kIds[] = {6000, 6001, 6002, 6003, 6004, 6005, 6006, 6007, 6008, 6009,
                       5999, 6010, 6011, 6020, 6021, 6030, 6031, 6040, 6041};

// The symbol and quarter at panel point (x, y), ".." for black, "??" for anything else. Panel x
// runs from +4/3 at the viewport's left to -4/3, y from -10 at the top to +10.
std::string pictureAt(double x, double y) {
  const testenv::Rgb got = testenv::readPixel(int((4.0 / 3.0 - x) * 37.5), int((10.0 - y) * 30));
  if (got.r + got.g + got.b < 10) return "..";
  const int i = (got.r - 14) / 12, quarter = (got.g - 15) / 60;
  if (got.r < 14 || i >= 19 || std::abs(got.b - 100) > 4 || quarter > 3) return "??";
  return {kSymbols[i], static_cast<char>('A' + quarter)};
}

// A read-out whose top edge is at y, highest place first; place k shows from -1.4 + 0.45 k
// (the next place left covers its last 0.05).
std::string readOut(double y, int places) {
  std::string text;
  for (int k = places - 1; k >= 0; --k)
    text += pictureAt(-1.175 + 0.45 * k, y + 0.25)[0];
  return text;
}

class PanelGl : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    testenv::TempDir dir;
    testenv::captureStdout([&] {
      for (int i = 0; i < 19; ++i) {
        std::string pixels;
        for (int k = 0; k < 16; ++k)
          pixels += {char(100), char(30 + 60 * ((k / 8) * 2 + (k % 4) / 2)), char(20 + 12 * i)};
        testenv::writeFile(dir / "picture.bmp", testenv::bmpBytes(4, 4, pixels));
        loadTexture((dir / "picture.bmp").string(), kIds[i]);
      }
    });
    buildPanelLists();
    testenv::resizeWindow(800, 600);
    glClearColor(0, 0, 0, 1);
  }

  // The frame's panel set-up at 800 x 600: mirrored orthographic projection, left eighth.
  static void draw(bool gameOver, int score, int health, int reload, int kills, int escapes) {
    setPanelView(100);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawPanel(gameOver, score, health, reload, kills, escapes);
  }
};

// The score shows its lowest six places, or a minus and the lowest five; the cannon is ready or
// reloading with its count-down digit (x = 1.1 lies inside Reloading only).
TEST_F(PanelGl, ScoreShowsItsLowestPlacesAndCannonItsStateAndCountDown) {
  const struct {
    int score, reload;
    const char* shown;  // the score, then at (0, label row), (1.1, label row), (0, digit row)
  } cases[] = {
      {0, 0, "000000 C.C"},        {250, 1, "000250 RR0"},       {-75, 49, "-00075 RR0"},
      {1000000, 50, "000000 RR1"}, {-100000, 450, "-00000 RR9"}, {123456, 500, "123456 RR9"},
      {-987654, 0, "-87654 C.C"},  {INT_MAX, 0, "483647 C.C"},   {INT_MIN, 0, "-83648 C.C"}};
  for (const auto& c : cases) {
    draw(false, c.score, 250, c.reload, 0, 0);
    EXPECT_EQ(readOut(-8.9, 6) + " " + pictureAt(0.0, -5.35)[0] + pictureAt(1.1, -5.35)[0] +
                  pictureAt(0.0, -4.75)[0],
              c.shown)
        << "score " << c.score << ", reload " << c.reload;
  }
}

// Every square in its place (x, y, w, h: screen-right edge at x, top at y), upright and unmirrored;
// squares past the panel's edges or under the next digit place have only inner points checked.
TEST_F(PanelGl, EverySquareShowsInItsPlaceTheRightWayRound) {
  const struct {
    char symbol;
    double x, y, w, h;
    bool over, reloading, edges;
  } squares[] = {
      {'s', 0, -9.5, 1.3, 0.5, false, false, true},
      {'h', 0, -7.5, 1.3, 0.5, false, false, true},
      {'k', 0, 2.0, 1.3, 0.5, false, false, true},
      {'e', -1.0, 4.0, 2.3, 0.5, false, false, true},
      {'C', -1.0, -5.6, 2.0, 1.0, false, false, true},
      {'R', -1.25, -5.6, 2.5, 0.5, false, true, true},
      {'3', -0.25, -5.0, 0.5, 0.5, false, true, true},
      {'S', -1.5, 8.0, 3.0, 1.5, true, false, false},
      {'G', -1.5, -1.0, 3.0, 1.0, true, false, false},
      {'-', 0.85, -8.9, 0.5, 0.5, false, false, false},
      {'0', 0.85, 4.6, 0.5, 0.5, false, false, false},
  };
  for (const auto& q : squares) {
    SCOPED_TRACE(q.symbol);
    draw(q.over, -17, 125, q.reloading ? 170 : 0, 0, 0);
    // Corners on screen (larger x is further left) a tenth in; nothing just beyond right and top.
    const double in = q.edges ? 0.1 : 0.25;
    const double left = q.x + (1 - in) * q.w, right = q.x + in * q.w;
    const double top = q.y + in * q.h, bottom = q.y + (1 - in) * q.h;
    EXPECT_EQ(pictureAt(left, top) + pictureAt(right, top) + pictureAt(left, bottom) +
                  pictureAt(right, bottom),
              (std::string{q.symbol, 'C', q.symbol, 'D', q.symbol, 'A', q.symbol, 'B'}));
    if (!q.edges) continue;
    EXPECT_NE(pictureAt(q.x - 0.1 * q.w, q.y + q.h / 2)[0], q.symbol);
    EXPECT_NE(pictureAt(q.x + q.w / 2, q.y - 0.1 * q.h)[0], q.symbol);
  }
  // Start and GameOver only while the game is over.
  draw(false, 0, 250, 0, 0, 0);
  EXPECT_EQ(pictureAt(0.0, 8.75) + pictureAt(0.0, -0.5), "....");
  // The panel hands the scene back lit and untextured.
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Over a panel showing everything at once (game-over labels, both cannon states, the mute mark)
// the real PAUSED and REPLAY marks change no pixel outside their squares and cover only black.
TEST_F(PanelGl, MarksLightOnlyTheirOwnBlackPlaces) {
  testenv::captureStdout([] { loadPanelMarks(); });
  const auto panel = [](void (*mark)()) {
    std::vector<unsigned char> pixels(100 * 600 * 3);
    for (int reload : {0, 170}) {
      draw(true, -888888, 888, reload, 888888, 888888);
      drawMuteMark();
      if (mark != nullptr) mark();
      std::vector<unsigned char> frame(pixels.size());
      glReadPixels(0, 0, 100, 600, GL_RGB, GL_UNSIGNED_BYTE, frame.data());
      for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = std::max(pixels[i], frame[i]);
    }
    return pixels;
  };
  const std::vector<unsigned char> bare = panel(nullptr);
  for (const auto& [mark, at] : {std::pair{&drawPausedMark, panelLayout::kPausedMark},
                                 {&drawReplayMark, panelLayout::kReplayMark}}) {
    SCOPED_TRACE(at.y);
    const std::vector<unsigned char> marked = panel(mark);
    int inside = 0, outside = 0, covered = 0;
    for (int row = 0; row < 600; ++row) {
      for (int col = 0; col < 100; ++col) {
        // Panel units of the pixel's centre (GL rows count from the bottom).
        const double x = 4.0 / 3.0 - (col + 0.5) / 37.5, y = 10.0 - (row + 0.5) / 30.0;
        const bool in = x > at.x && x < at.x + at.w && y > at.y && y < at.y + at.h;
        const std::size_t i = (static_cast<std::size_t>(row) * 100 + col) * 3;
        const bool changed = !std::equal(&bare[i], &bare[i] + 3, &marked[i]);
        const bool black = bare[i] + bare[i + 1] + bare[i + 2] == 0;
        inside += in && changed;
        outside += !in && changed;
        covered += in && !black;
      }
    }
    EXPECT_GT(inside, 1000);
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(covered, 0);
  }
}

// The frame hands every read-out its own counter: distinct values in each.
TEST_F(PanelGl, FrameShowsEachCounterInItsOwnReadOut) {
  glColor3f(0.2f, 0.3f, 0.4f);  // whatever colour the scene left behind
  squadron.gameOver = true;     // the start screen: nothing in the scene but the backdrop
  game.score = -1357;
  game.kills = 24;
  game.escapes = 680;
  tank.health = 150;
  tank.reload = 120;
  drawFrame();
  EXPECT_EQ(readOut(-8.9, 6) + " " + readOut(-6.9, 3) + " " + pictureAt(0.0, -4.75)[0] + " " +
                readOut(2.6, 6) + " " + readOut(4.6, 6) + " " + pictureAt(0.0, 8.75)[0],
            "-01357 150 2 000024 000680 S");
}

}  // namespace
