// The frame: viewports and projections, the GL state it leaves for aiming, the backdrop and the
// help page, checked through GL state and pixels of real frames.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>

#include "app/frame.h"
#include "world/game.h"
#include "assets/bitmap.h"
#include "enemies/squadron.h"
#include "panel/panel.h"
#include "support/gl_env.h"
#include "support/test_util.h"

namespace {

using namespace brambleshot;

// A flat-coloured 4 x 4 image loaded under a texture number, replacing the artwork for a test.
void loadFlatTexture(TextureId id, unsigned char r, unsigned char g, unsigned char b) {
  std::string pixels;
  for (int i = 0; i < 16; ++i)
    pixels += {static_cast<char>(b), static_cast<char>(g), static_cast<char>(r)};
  testenv::TempDir dir;
  testenv::writeFile(dir / "flat.bmp", testenv::bmpBytes(4, 4, pixels));
  testenv::captureStdout([&] { loadTexture((dir / "flat.bmp").string(), id); });
}

// Puts the real artwork back, so later tests in this binary see the game's own images.
void restoreTexture(TextureId id, const char* file) {
  if (std::filesystem::exists(file)) testenv::captureStdout([&] { loadTexture(file, id); });
}

class Frame : public ::testing::Test {
 protected:
  void SetUp() override {
    testenv::resizeWindow(800, 600);
    game.paused = false;
    game.helpShown = false;
    squadron.gameOver = true;  // nothing but the backdrop in the scene
    if (hudPanel.labelsList == 0) buildPanelLists();
  }
  void TearDown() override {
    testenv::resizeWindow(800, 600);
    game.helpShown = false;
  }
};

struct Matrices {
  double projection[16];
  double modelview[16];
  GLint viewport[4];
};

Matrices matricesAfterFrame() {
  drawFrame();
  Matrices m;
  glGetDoublev(GL_PROJECTION_MATRIX, m.projection);
  glGetDoublev(GL_MODELVIEW_MATRIX, m.modelview);
  glGetIntegerv(GL_VIEWPORT, m.viewport);
  return m;
}

TEST_F(Frame, SplitsTheWindowIntoPanelAndSceneAtAnySize) {
  struct Case {
    int width, height, sceneX, sceneWidth, aspectHeight;
  };
  // A minimised window reports a height (or width) of 0: the aspect treats it as 1.
  for (const Case c : {Case{800, 600, 100, 700, 600}, Case{801, 600, 100, 701, 600},
                       Case{7, 600, 0, 7, 600}, Case{800, 0, 100, 700, 1}, Case{0, 0, 0, 0, 1}}) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    testenv::resizeWindow(c.width, c.height);
    const Matrices m = matricesAfterFrame();
    EXPECT_EQ(m.viewport[0], c.sceneX);
    EXPECT_EQ(m.viewport[1], 0);
    EXPECT_EQ(m.viewport[2], c.sceneWidth);
    EXPECT_EQ(m.viewport[3], c.height);
    // 60-degree perspective with the scene's aspect, near 0.5, far 10 (GL keeps floats).
    const double f = 1.0 / std::tan(M_PI / 6.0);
    EXPECT_FLOAT_EQ(m.projection[0], f * c.aspectHeight / std::max(c.sceneWidth, 1));
    EXPECT_FLOAT_EQ(m.projection[5], f);
    EXPECT_FLOAT_EQ(m.projection[10], (10.0 + 0.5) / (0.5 - 10.0));
    EXPECT_FLOAT_EQ(m.projection[14], 2 * 10.0 * 0.5 / (0.5 - 10.0));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
}

TEST_F(Frame, LeavesTheStateThatAimingAndTheNextFrameRelyOn) {
  game.helpShown = true;  // the overlay switches the most state
  const Matrices m = matricesAfterFrame();
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(m.modelview[i], (i % 5 == 0) ? 1.0 : 0.0) << i;
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
  GLint depth = 0;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
  EXPECT_EQ(depth, 1);
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
  EXPECT_FALSE(glIsEnabled(GL_NORMALIZE));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Frame, SunIsSentInWorldCoordinatesEveryFrame) {
  // Whatever the modelview held before, the frame sends the sun after the camera transform:
  // GL stores the direction (0, 2, -1) rotated into eye space by the camera (no rotation here).
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glRotated(90, 1, 0, 0);
  drawFrame();
  float position[4];
  glGetLightfv(GL_LIGHT0, GL_POSITION, position);
  EXPECT_NEAR(position[0], 0.0f, 1e-6);
  EXPECT_NEAR(position[1], 2.0f, 1e-6);
  EXPECT_NEAR(position[3], 0.0f, 1e-6);
  // gluLookAt along +z turns world z into eye -z.
  EXPECT_NEAR(position[2], 1.0f, 1e-6);
}

TEST_F(Frame, BackdropFillsTheSceneAndHelpPageIsMaskedIn) {
  loadFlatTexture(kDesertTexture, 200, 120, 40);
  loadFlatTexture(kHelpMaskTexture, 128, 255, 0);
  loadFlatTexture(kHelpTexture, 10, 0, 90);
  drawFrame();
  // Corners and centre of the scene show the backdrop, unlit and unmodulated.
  for (const auto& [x, y] : {std::pair{101, 1}, std::pair{798, 598}, std::pair{450, 300}}) {
    const testenv::Rgb pixel = testenv::readPixel(x, y);
    EXPECT_EQ(pixel.r, 200) << x << "," << y;
    EXPECT_EQ(pixel.g, 120);
    EXPECT_EQ(pixel.b, 40);
  }

  game.helpShown = true;
  drawFrame();
  // Inside the page: backdrop times mask plus page; the page spans the play plane's y 0..4.
  const testenv::Rgb inside = testenv::readPixel(450, 300);
  EXPECT_NEAR(inside.r, 200 * 128 / 255 + 10, 2);
  EXPECT_EQ(inside.g, 120);
  EXPECT_EQ(inside.b, 90);
  // Below the page (the play plane's y < 0) and beside it the backdrop shows untouched.
  for (const auto& [x, y] : {std::pair{450, 20}, std::pair{110, 300}, std::pair{790, 300}}) {
    const testenv::Rgb outside = testenv::readPixel(x, y);
    EXPECT_EQ(outside.r, 200) << x << "," << y;
    EXPECT_EQ(outside.b, 40);
  }

  restoreTexture(kDesertTexture, "./Resources/desert05.bmp");
  restoreTexture(kHelpMaskTexture, "./Resources/help_mask.bmp");
  restoreTexture(kHelpTexture, "./Resources/help.bmp");
}

}  // namespace
