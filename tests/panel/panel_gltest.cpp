// The instrument panel read in pixels: every digit and label is a synthetic flat colour, so a
// pixel names the picture drawn there.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/game.h"
#include "assets/bitmap.h"
#include "panel/panel.h"
#include "support/gl_env.h"
#include "support/test_util.h"

namespace {

using namespace brambleshot;
using testenv::Rgb;

struct Picture {
  char symbol;  // what a read-out shows for it
  GLuint id;
  Rgb colour;
};

// Digits in steps of 25 in red and falling green; the rest well apart from them and each other.
const Picture kPictures[] = {
    {'0', 6000, {20, 240, 0}},    {'1', 6001, {45, 215, 0}},    {'2', 6002, {70, 190, 0}},
    {'3', 6003, {95, 165, 0}},    {'4', 6004, {120, 140, 0}},   {'5', 6005, {145, 115, 0}},
    {'6', 6006, {170, 90, 0}},    {'7', 6007, {195, 65, 0}},    {'8', 6008, {220, 40, 0}},
    {'9', 6009, {245, 15, 0}},    {'-', 5999, {0, 0, 250}},     {'S', 6010, {0, 250, 250}},
    {'G', 6011, {250, 0, 250}},   {'C', 6020, {250, 250, 250}}, {'R', 6021, {0, 120, 200}},
    {'s', 6030, {120, 0, 200}},   {'h', 6031, {200, 120, 120}}, {'k', 6040, {0, 200, 100}},
    {'e', 6041, {120, 200, 160}},
};

std::string flatBmp(Rgb colour) {
  std::string pixels;
  for (int i = 0; i < 16; ++i)
    pixels += {char(colour.b), char(colour.g), char(colour.r)};
  return testenv::bmpBytes(4, 4, pixels);
}

// The symbol whose colour the pixel shows, '.' for the black background, '?' for anything else.
char symbolAt(int x, int y) {
  const Rgb got = testenv::readPixel(x, y);
  if (got.r + got.g + got.b < 10) return '.';
  for (const Picture& picture : kPictures) {
    if (std::abs(got.r - picture.colour.r) <= 4 && std::abs(got.g - picture.colour.g) <= 4 &&
        std::abs(got.b - picture.colour.b) <= 4) {
      return picture.symbol;
    }
  }
  return '?';
}

// Panel units to pixels of the 100 x 600 panel viewport: x runs from +4/3 at the left edge to
// -4/3 at the right, y from -10 at the top to +10 at the bottom.
int columnOf(double x) {
  return static_cast<int>((4.0 / 3.0 - x) * 37.5);
}
int rowOf(double y) {
  return static_cast<int>((10.0 - y) * 30.0);
}

// Reads a read-out whose top edge is at y, highest place first. Each place's visible part
// starts at -1.4 + 0.45 k (the next place left covers its last 0.05).
std::string readOut(double y, int places) {
  std::string text;
  for (int k = places - 1; k >= 0; --k)
    text += symbolAt(columnOf(-1.175 + 0.45 * k), rowOf(y + 0.25));
  return text;
}

class PanelGl : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    testenv::TempDir dir;
    testenv::captureStdout([&] {
      for (const Picture& picture : kPictures) {
        const auto path = dir / ("picture" + std::to_string(picture.id) + ".bmp");
        testenv::writeFile(path, flatBmp(picture.colour));
        loadTexture(path.string(), picture.id);
      }
    });
    buildPanelLists();
  }

  // The panel as the frame draws it: mirrored orthographic projection, left eighth viewport.
  void draw(bool gameOver, int score, int health, int reload, int kills, int escapes) {
    testenv::resizeWindow(800, 600);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(game.orthoLeft, game.orthoRight, game.orthoBottom * 10, game.orthoTop * 10,
            -game.farPlane, game.farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glViewport(0, 0, 100, 600);
    drawPanel(gameOver, score, health, reload, kills, escapes);
  }
};

TEST_F(PanelGl, ScoreShowsSixPlacesWithTheMinusSignInTheSixth) {
  const struct {
    int score;
    const char* shown;
  } cases[] = {
      {0, "000000"},       {250, "000250"},     {-75, "-00075"},
      {1000000, "000000"}, {-100000, "-00000"}, {123456, "123456"},
      {-987654, "-87654"}, {INT_MAX, "483647"}, {INT_MIN, "-83648"},
  };
  for (const auto& c : cases) {
    draw(true, c.score, 250, 0, 0, 0);
    EXPECT_EQ(readOut(-8.9, 6), c.shown) << "score " << c.score;
  }
}

TEST_F(PanelGl, HealthKillsAndEscapesShowTheirLowestPlaces) {
  draw(false, 0, 250, 0, 1000000, 42);
  EXPECT_EQ(readOut(-6.9, 3), "250");
  EXPECT_EQ(readOut(2.6, 6), "000000");
  EXPECT_EQ(readOut(4.6, 6), "000042");
  draw(false, 0, 0, 0, 987, 1000000);
  EXPECT_EQ(readOut(-6.9, 3), "000");
  EXPECT_EQ(readOut(2.6, 6), "000987");
  EXPECT_EQ(readOut(4.6, 6), "000000");
}

TEST_F(PanelGl, CannonReadyOrReloadingWithItsCountDownDigit) {
  const int cannonColumn = columnOf(0.0);
  const int labelRow = rowOf(-5.35);  // inside both the Cannon and the Reloading label
  const int digitRow = rowOf(-4.75);  // the count-down digit, inside the wider Cannon label
  draw(false, 0, 250, 0, 0, 0);
  EXPECT_EQ(symbolAt(cannonColumn, labelRow), 'C');
  EXPECT_EQ(symbolAt(cannonColumn, digitRow), 'C');
  EXPECT_EQ(symbolAt(columnOf(1.1), labelRow), '.') << "Reloading is wider than Cannon";

  const struct {
    int reload;
    char digit;
  } cases[] = {{1, '0'}, {49, '0'}, {50, '1'}, {449, '8'}, {450, '9'}, {499, '9'}, {500, '9'}};
  for (const auto& c : cases) {
    draw(false, 0, 250, c.reload, 0, 0);
    EXPECT_EQ(symbolAt(cannonColumn, labelRow), 'R') << "reload " << c.reload;
    EXPECT_EQ(symbolAt(columnOf(1.1), labelRow), 'R') << "reload " << c.reload;
    EXPECT_EQ(symbolAt(cannonColumn, digitRow), c.digit) << "reload " << c.reload;
  }
}

TEST_F(PanelGl, LabelsAlwaysAndStartAndGameOverOnlyWhileTheGameIsOver) {
  const int startRow = rowOf(8.75);
  const int gameOverRow = rowOf(-0.5);
  for (const bool over : {false, true}) {
    draw(over, 0, 250, 0, 0, 0);
    EXPECT_EQ(symbolAt(columnOf(0.65), rowOf(-9.25)), 's');
    EXPECT_EQ(symbolAt(columnOf(0.65), rowOf(-7.25)), 'h');
    EXPECT_EQ(symbolAt(columnOf(0.65), rowOf(2.25)), 'k');
    EXPECT_EQ(symbolAt(columnOf(0.15), rowOf(4.25)), 'e');
    EXPECT_EQ(symbolAt(columnOf(0.0), startRow), over ? 'S' : '.');
    EXPECT_EQ(symbolAt(columnOf(0.0), gameOverRow), over ? 'G' : '.');
  }
  // The panel draws flat pictures and hands the scene back lit and untextured.
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
