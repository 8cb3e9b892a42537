// What the window shows while playing is the frame the game drew last, once the idle callback's
// sleep is over (the play tests see frames drawn while paused show at once). The window's pixels
// are read from the X server, as a player sees them. Other tests' windows may cover it on the
// shared display, so the window is redirected to its own off-screen copy (Composite) while the test
// reads it.
#include <gtest/gtest.h>

// After GoogleTest: Xlib's macros (None, Bool) would clash with its names.
#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xcomposite.h>

#include <vector>

#include "app/frame.h"
#include "app/input.h"
#include "app/startup.h"
#include "enemies/squadron.h"
#include "panel/panel.h"
#include "support/gl_env.h"
#include "support/test_util.h"
#include "tank/tank.h"
#include "world/game.h"

namespace {

using namespace brambleshot;

using Pixels = std::vector<unsigned char>;  // RGB, bottom row first, the whole window

Pixels backBuffer() {
  Pixels rgb(static_cast<std::size_t>(game.windowWidth) * game.windowHeight * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, game.windowWidth, game.windowHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  return rgb;
}

Pixels shownOnScreen() {
  Display* display = glXGetCurrentDisplay();
  const int w = game.windowWidth, h = game.windowHeight;
  XSync(display, False);
  XImage* image = XGetImage(display, glXGetCurrentDrawable(), 0, 0, w, h, AllPlanes, ZPixmap);
  Pixels rgb;
  if (image == nullptr) return rgb;
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      rgb.push_back(static_cast<unsigned char>((pixel & image->red_mask) >> 16));
      rgb.push_back(static_cast<unsigned char>((pixel & image->green_mask) >> 8));
      rgb.push_back(static_cast<unsigned char>(pixel & image->blue_mask));
    }
  }
  XDestroyImage(image);
  return rgb;
}

void displayNothing() {}

TEST(Presenting, WhilePlayingTheWindowShowsEachFrameOnceTheSleepIsOver) {
  testenv::resizeWindow(800, 600);
  testenv::captureStdout([] {
    testenv::loadAllTextures();
    squadron.init(tankHitTest, game.score, game.kills, game.escapes);
    tank.init(camera);
    if (hudPanel.labelsList == 0) buildPanelLists();
  });
  squadron.aircraft.clear();
  squadron.bombs.clear();
  squadron.explosions.clear();
  game.paused = game.helpShown = false;
  Display* display = glXGetCurrentDisplay();
  XCompositeRedirectWindow(display, glXGetCurrentDrawable(), CompositeRedirectAutomatic);
  installCallbacks();  // the game's own display and idle callbacks
  onKeyboard('n', 0, 0);
  onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 0, 0);  // muzzle flashes change from frame to frame

  Pixels first;
  for (int step = 0; step < 8; ++step) {
    SCOPED_TRACE(step);
    onMotion(300 + 12 * step, 200);  // aims at a point moving across the sky
    glutMainLoopEvent();             // draws the frame the motion asked for
    const Pixels drawn = backBuffer();
    onIdle();
    const Pixels shown = shownOnScreen();
    ASSERT_EQ(shown.size(), drawn.size());
    EXPECT_TRUE(shown == drawn);
    if (step == 0) first = shown;
  }
  EXPECT_FALSE(shownOnScreen() == first);  // the frames did change

  XCompositeUnredirectWindow(display, glXGetCurrentDrawable(), CompositeRedirectAutomatic);
  glutIdleFunc(nullptr);
  glutDisplayFunc(displayNothing);
  tank.gunsFiring = false;
  squadron.gameOver = true;
}

}  // namespace
