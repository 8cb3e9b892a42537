// The instrument panel read in pixels: every digit and label is a synthetic flat colour, so a
// pixel names the picture drawn there.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "app/frame.h"
#include "assets/bitmap.h"
#include "panel/panel.h"
#include "support/gl_env.h"
#include "support/test_util.h"

namespace {

using namespace brambleshot;

// Each picture's texture id and the symbol a read-out shows for it. Picture i is drawn in the
// flat colour (20 + 12 i, 100, 100).
const char kSymbols[] = "0123456789-SGCRshke";
const GLuint kIds[] = {6000, 6001, 6002, 6003, 6004, 6005, 6006, 6007, 6008, 6009,
                       5999, 6010, 6011, 6020, 6021, 6030, 6031, 6040, 6041};

// The symbol at panel point (x, y), '.' for the black background, '?' for anything else. Panel
// x runs from +4/3 at the viewport's left edge to -4/3 at its right, y from -10 at the top.
char symbolAt(double x, double y) {
  const testenv::Rgb got = testenv::readPixel(int((4.0 / 3.0 - x) * 37.5), int((10.0 - y) * 30));
  if (got.r + got.g + got.b < 10) return '.';
  const int i = (got.r - 14) / 12;
  const bool flat = std::abs(got.g - 100) <= 4 && std::abs(got.b - 100) <= 4 && got.r >= 14;
  return flat && i < 19 ? kSymbols[i] : '?';
}

// A read-out whose top edge is at y, highest place first; place k shows from -1.4 + 0.45 k
// (the next place left covers its last 0.05).
std::string readOut(double y, int places) {
  std::string text;
  for (int k = places - 1; k >= 0; --k)
    text += symbolAt(-1.175 + 0.45 * k, y + 0.25);
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
          pixels += {char(100), char(100), char(20 + 12 * i)};  // B, G, R
        testenv::writeFile(dir / "picture.bmp", testenv::bmpBytes(4, 4, pixels));
        loadTexture((dir / "picture.bmp").string(), kIds[i]);
      }
    });
    buildPanelLists();
    // The frame's panel set-up at 800 x 600: mirrored orthographic projection, left eighth.
    testenv::resizeWindow(800, 600);
    setPanelView(100);
    glClearColor(0, 0, 0, 1);
  }

  static void draw(bool gameOver, int score, int health, int reload, int kills, int escapes) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawPanel(gameOver, score, health, reload, kills, escapes);
  }
};

TEST_F(PanelGl, ReadOutsShowTheirLowestPlacesAndScoreHasTheMinusSignInTheSixth) {
  const struct {
    int score;
    const char* shown;
  } scores[] = {{0, "000000"},       {250, "000250"},     {-75, "-00075"},
                {1000000, "000000"}, {-100000, "-00000"}, {123456, "123456"},
                {-987654, "-87654"}, {INT_MAX, "483647"}, {INT_MIN, "-83648"}};
  for (const auto& c : scores) {
    draw(true, c.score, 250, 0, 0, 0);
    EXPECT_EQ(readOut(-8.9, 6), c.shown) << "score " << c.score;
  }
  // Health, kills and escapes at -6.9, 2.6 and 4.6.
  draw(false, 0, 250, 0, 1000000, 42);
  EXPECT_EQ(readOut(-6.9, 3) + readOut(2.6, 6) + readOut(4.6, 6), "250000000000042");
  draw(false, 0, 0, 0, 987, 1000000);
  EXPECT_EQ(readOut(-6.9, 3) + readOut(2.6, 6) + readOut(4.6, 6), "000000987000000");
}

TEST_F(PanelGl, CannonReadyOrReloadingWithItsCountDownDigit) {
  // The label row lies inside both labels, the digit row only inside the taller Cannon label;
  // x = 1.1 is inside Reloading only.
  const struct {
    int reload;
    const char* shown;  // at (0, label row), (1.1, label row), (0, digit row)
  } cases[] = {{0, "C.C"}, {1, "RR0"}, {49, "RR0"}, {50, "RR1"}, {450, "RR9"}, {500, "RR9"}};
  for (const auto& c : cases) {
    draw(false, 0, 250, c.reload, 0, 0);
    const std::string shown{symbolAt(0.0, -5.35), symbolAt(1.1, -5.35), symbolAt(0.0, -4.75)};
    EXPECT_EQ(shown, c.shown) << "reload " << c.reload;
  }
}

TEST_F(PanelGl, LabelsAlwaysAndStartAndGameOverOnlyWhileTheGameIsOver) {
  for (const bool over : {false, true}) {
    draw(over, 0, 250, 0, 0, 0);
    const std::string shown{symbolAt(0.65, -9.25), symbolAt(0.65, -7.25), symbolAt(0.65, 2.25),
                            symbolAt(0.15, 4.25),  symbolAt(0.0, 8.75),   symbolAt(0.0, -0.5)};
    EXPECT_EQ(shown, over ? "shkeSG" : "shke..");
  }
  // The panel hands the scene back lit and untextured.
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
