// What the window shows is the frame the game drew last: while playing once the idle callback's
// sleep is over, while paused at once in answer to input. The window's pixels are read from the
// X server, as a player sees them. Other tests' windows may cover it on the shared display, so
// the window is redirected to its own off-screen copy (Composite) while a test reads it.
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

using Pixels = std::vector<unsigned char>;  // RGB, top row first, the whole window

Pixels backBuffer() {
  const int w = game.windowWidth, h = game.windowHeight;
  Pixels bottomUp(static_cast<std::size_t>(w) * h * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
  Pixels topDown(bottomUp.size());
  const std::size_t row = static_cast<std::size_t>(w) * 3;
  for (int y = 0; y < h; ++y)
    std::copy_n(&bottomUp[(h - 1 - y) * row], row, &topDown[y * row]);
  return topDown;
}

Pixels shownOnScreen() {
  Display* display = glXGetCurrentDisplay();
  const int w = game.windowWidth, h = game.windowHeight;
  XSync(display, False);
  XImage* image = XGetImage(display, glXGetCurrentDrawable(), 0, 0, w, h, AllPlanes, ZPixmap);
  Pixels rgb;
  if (image == nullptr) return rgb;
  rgb.reserve(static_cast<std::size_t>(w) * h * 3);
  for (int y = 0; y < h; ++y) {
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

class Presenting : public ::testing::Test {
 protected:
  void SetUp() override {
    testenv::resizeWindow(800, 600);
    static bool started = false;
    if (!started) {
      testenv::captureStdout([] {
        testenv::loadAllTextures();
        squadron.init(tankHitTest, game.score, game.kills, game.escapes);
        tank.init(camera);
        if (hudPanel.labelsList == 0) buildPanelLists();
      });
      started = true;
    }
    squadron.aircraft.clear();
    squadron.bombs.clear();
    squadron.explosions.clear();
    squadron.gameOver = true;
    game.paused = false;
    game.helpShown = false;
    XCompositeRedirectWindow(glXGetCurrentDisplay(), glXGetCurrentDrawable(),
                             CompositeRedirectAutomatic);
    installCallbacks();  // the game's own display and idle callbacks
    onKeyboard('n', 0, 0);
  }
  void TearDown() override {
    XCompositeUnredirectWindow(glXGetCurrentDisplay(), glXGetCurrentDrawable(),
                               CompositeRedirectAutomatic);
    glutIdleFunc(nullptr);
    glutDisplayFunc(displayNothing);
    game.paused = false;
    tank.gunsFiring = false;
  }
  // One pass of GLUT's main loop: window-system events and the frame they asked for, then the
  // idle callback while it is installed (it is removed while paused).
  static void loopOnce() {
    glutMainLoopEvent();
    if (!game.paused) onIdle();
  }
  // Aims at a point moving across the sky, as a mouse motion event would.
  static void aimAt(int step) { onMotion(300 + 12 * step, 200); }
};

TEST_F(Presenting, WhilePlayingTheWindowShowsEachFrameOnceTheSleepIsOver) {
  onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 0, 0);  // muzzle flashes change from frame to frame
  Pixels first;
  for (int step = 0; step < 8; ++step) {
    SCOPED_TRACE(step);
    aimAt(step);
    glutMainLoopEvent();  // draws the frame the motion asked for
    const Pixels drawn = backBuffer();
    onIdle();
    const Pixels shown = shownOnScreen();
    ASSERT_EQ(shown.size(), drawn.size());
    EXPECT_TRUE(shown == drawn);
    if (step == 0) {
      first = shown;
    } else if (step == 7) {
      EXPECT_FALSE(shown == first);  // the frames did change
    }
  }
}

TEST_F(Presenting, WhilePausedAFrameDrawnForInputShowsAtOnce) {
  loopOnce();  // the new game's first frame
  onKeyboard('p', 0, 0);
  Pixels before = shownOnScreen();
  for (int step = 0; step < 4; ++step) {
    SCOPED_TRACE(step);
    aimAt(step);  // the reticle follows the pointer while paused
    loopOnce();
    ASSERT_TRUE(game.paused);
    const Pixels shown = shownOnScreen();
    EXPECT_FALSE(shown == before);
    // Nothing moves while paused: drawing the frame again gives the frame that should show.
    drawFrame();
    EXPECT_TRUE(shown == backBuffer());
    before = shown;
  }
  // Resuming: the first frame after the pause shows once its sleep is over.
  onKeyboard('p', 0, 0);
  glutMainLoopEvent();
  const Pixels drawn = backBuffer();
  onIdle();
  EXPECT_TRUE(shownOnScreen() == drawn);
}

}  // namespace
