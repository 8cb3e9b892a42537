// The real GL context shared by every test in a *_gltests binary: one freeglut window,
// 800 x 600, opened by the game's own start-up code under the X display (Xvfb in CI).
#pragma once

#include <gtest/gtest.h>

namespace testenv {

struct Rgb {
  int r = 0;
  int g = 0;
  int b = 0;
};

// Opens the window once per binary; registered by gl_main.cpp.
class GlEnvironment : public ::testing::Environment {
 public:
  void SetUp() override;
};

// Sets the game's window size (as the reshape callback would) and resizes the real window.
void resizeWindow(int width, int height);
// One pixel of the back buffer, window coordinates from the bottom-left corner.
Rgb readPixel(int x, int y);
// Loads every image the game shows (tank, squadron, backdrop, panel, help) from ./Resources.
void loadAllTextures();
// Lets freeglut handle pending window-system events.
void pumpEvents();

}  // namespace testenv
