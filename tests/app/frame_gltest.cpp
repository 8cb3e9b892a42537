// The frame: viewports, projections, the GL state it leaves, the backdrop and the help page.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "app/frame.h"
#include "app/game.h"
#include "support/gl_env.h"

namespace {

using namespace brambleshot;

TEST(Frame, LeavesSceneViewportAt800x600) {
  testenv::resizeWindow(800, 600);
  drawFrame();
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[0], 100);
  EXPECT_EQ(viewport[2], 700);
  EXPECT_EQ(viewport[3], 600);
}

}  // namespace
