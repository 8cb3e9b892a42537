// The real GL context shared by every test in a *_gltests binary: one freeglut window,
// 800 x 600, opened by the game's own start-up code under the X display (Xvfb in CI).
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace testenv {

struct Rgb {
  int r = 0, g = 0, b = 0;
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
// Loads every image the game shows (tank, squadron, backdrop, panel, help) from ./Resources;
// again = true puts the artwork back after a test replaced some of it.
void loadAllTextures(bool again = false);

// A 4 x 4 test picture with a different colour in each quarter, named by where the quarter is
// stored in the file: 'A' the first two rows' left half, 'B' their right half, 'C' and 'D' the
// last two rows' halves. A BMP is stored bottom row first, so drawn upright and unmirrored it
// reads, top-left, top-right, bottom-left, bottom-right: "CDAB".
void loadQuarteredTexture(unsigned id);
void loadFlatTexture(unsigned id, Rgb colour);
// The quarter letters ('?': another colour) shown at the four inner points (a quarter of the way
// in from each corner) of a window rectangle, in the order top-left, top-right, bottom-left,
// bottom-right; rows from the bottom as GL counts them.
std::string quartersIn(int left, int bottom, int right, int top);
// The same for the window rectangle that the play-plane rectangle x0..x1, y0..y1 covers under
// the last frame's scene view.
std::string quartersOnPlane(double x0, double y0, double x1, double y1);
// The window pixel (GL rows, from the bottom) where the play-plane point (x, y) shows.
void pixelOnPlane(double x, double y, int& windowX, int& windowY);

}  // namespace testenv
