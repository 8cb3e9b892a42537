// The frame: viewports and projections, the GL state it leaves for aiming, the backdrop and the
// help page, checked through GL state and pixels of real frames.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "app/frame.h"
#include "assets/bitmap.h"
#include "enemies/squadron.h"
#include "panel/panel.h"
#include "support/gl_env.h"
#include "support/test_util.h"
#include "world/game.h"

namespace {

using namespace brambleshot;

class Frame : public ::testing::Test {
 protected:
  void SetUp() override {
    testenv::resizeWindow(800, 600);
    game.paused = game.helpShown = false;
    squadron.gameOver = true;  // nothing but the backdrop in the scene
    if (hudPanel.labelsList == 0) buildPanelLists();
  }
  void TearDown() override {
    testenv::resizeWindow(800, 600);
    game.helpShown = false;
  }
};

TEST_F(Frame, SplitsTheWindowIntoPanelAndSceneAtAnySize) {
  struct Case {
    int width, height, sceneX, sceneWidth, aspectHeight;
  };
  // A minimised window reports a height (or width) of 0: the aspect treats it as 1.
  for (const Case c : {Case{800, 600, 100, 700, 600}, Case{801, 600, 100, 701, 600},
                       Case{7, 600, 0, 7, 600}, Case{800, 0, 100, 700, 1}, Case{0, 0, 0, 0, 1}}) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    testenv::resizeWindow(c.width, c.height);
    drawFrame();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4),
              (std::vector<GLint>{c.sceneX, 0, c.sceneWidth, c.height}));
    // 60-degree perspective with the scene's aspect, near 0.5, far 10 (GL keeps floats).
    double projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    const double f = 1.0 / std::tan(M_PI / 6.0);
    EXPECT_FLOAT_EQ(projection[0], f * c.aspectHeight / std::max(c.sceneWidth, 1));
    EXPECT_FLOAT_EQ(projection[5], f);
    EXPECT_FLOAT_EQ(projection[10], (10.0 + 0.5) / (0.5 - 10.0));
    EXPECT_FLOAT_EQ(projection[14], 2 * 10.0 * 0.5 / (0.5 - 10.0));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
}

TEST_F(Frame, LeavesTheStateThatAimingAndTheNextFrameRelyOn) {
  for (const bool help : {false, true}) {  // the overlay switches the most state
    SCOPED_TRACE(help ? "with the help page" : "without the help page");
    game.helpShown = help;
    drawFrame();
    double modelview[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    for (int i = 0; i < 16; ++i)
      EXPECT_EQ(modelview[i], (i % 5 == 0) ? 1.0 : 0.0) << i;
    GLint mode = 0, depth = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(depth, 1);
    for (GLenum on : {GL_LIGHTING, GL_DEPTH_TEST, GL_LIGHT0})
      EXPECT_TRUE(glIsEnabled(on)) << on;
    for (GLenum off : {GL_TEXTURE_2D, GL_BLEND, GL_COLOR_MATERIAL, GL_NORMALIZE})
      EXPECT_FALSE(glIsEnabled(off)) << off;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
}

// Test pictures with a different colour in each quarter show which way round each picture is.
TEST_F(Frame, BackdropAndHelpPageShowTheRightWayRoundAndThePageCoversWhatIsBehindIt) {
  testenv::loadQuarteredTexture(kDesertTexture);
  drawFrame();
  // The middle of the backdrop fills the scene, the file's first rows at the top.
  EXPECT_EQ(testenv::quartersIn(100, 0, 800, 600), "ABCD");

  // The help page over x -2..2, y 0..4 of the play plane: the mask multiplied in (seen over a
  // white backdrop with the page black), then the page added (mask black); both upright.
  testenv::loadFlatTexture(kDesertTexture, {255, 255, 255});
  testenv::loadQuarteredTexture(kHelpMaskTexture);
  testenv::loadFlatTexture(kHelpTexture, {0, 0, 0});
  game.helpShown = true;
  drawFrame();
  EXPECT_EQ(testenv::quartersOnPlane(-2, 0, 2, 4), "CDAB") << "mask";
  testenv::loadFlatTexture(kHelpMaskTexture, {0, 0, 0});
  testenv::loadQuarteredTexture(kHelpTexture);
  // An explosion that bulges out of the play plane towards the viewer, under the top-left quarter.
  if (squadron.explosionList == 0) {
    squadron.quadric = gluNewQuadric();
    squadron.buildExplosionList();
  }
  squadron.explosions.push_back({.x = 1.0, .y = 3.0, .radius = 0.6, .maxRadius = 1.0});
  game.paused = true;
  drawFrame();
  squadron.explosions.clear();
  glDisable(GL_LIGHT4);
  EXPECT_EQ(testenv::quartersOnPlane(-2, 0, 2, 4), "CDAB") << "page";
  // Below and beside the page the backdrop shows untouched.
  for (const auto& [x, y] : {std::pair{0.0, -0.5}, std::pair{2.5, 2.0}, std::pair{-2.5, 2.0}}) {
    int wx = 0, wy = 0;
    testenv::pixelOnPlane(x, y, wx, wy);
    const testenv::Rgb outside = testenv::readPixel(wx, wy);
    EXPECT_EQ(outside.r + outside.g + outside.b, 3 * 255) << x << ", " << y;
  }
  testenv::captureStdout([] { testenv::loadAllTextures(true); });
}

}  // namespace
