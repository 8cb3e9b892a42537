// Textures as GL sees them: nearest filtering both ways, reloading a number, the built-in texture.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

#include "assets/bitmap.h"
#include "support/gl_env.h"
#include "support/test_util.h"

namespace {

using namespace brambleshot;

constexpr TextureId kScratch = 7777;  // a number the game never uses

// A size x size checker of single texels, black and white, loaded as kScratch.
void loadChecker(int size) {
  std::string pixels;
  for (int row = 0; row < size; ++row)
    for (int col = 0; col < size; ++col)
      pixels += std::string(3, (row + col) % 2 ? '\xff' : '\0');
  testenv::TempDir dir;
  testenv::writeFile(dir / "checker.bmp", testenv::bmpBytes(size, size, pixels));
  const std::string out =
      testenv::captureStdout([&] { loadTexture((dir / "checker.bmp").string(), kScratch); });
  EXPECT_EQ(out, "Trying to load: " + (dir / "checker.bmp").string() + "\n");
}

// Draws the bound texture on a square of side pixels at the window's bottom-left corner.
void drawTexturedSquare(int side) {
  glViewport(0, 0, 800, 600);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 800, 0, 600, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glColor3f(1, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glBegin(GL_QUADS);
  glTexCoord2d(0, 0);
  glVertex2d(0, 0);
  glTexCoord2d(1, 0);
  glVertex2d(side, 0);
  glTexCoord2d(1, 1);
  glVertex2d(side, side);
  glTexCoord2d(0, 1);
  glVertex2d(0, side);
  glEnd();
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
}

TEST(Texture, NearestFilteringShowsHardTexelsMagnifiedAndMinified) {
  testenv::resizeWindow(800, 600);
  loadChecker(4);
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(bound, static_cast<GLint>(kScratch));
  GLint mag = 0, minFilter = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
  EXPECT_EQ(mag, GL_NEAREST);
  EXPECT_EQ(minFilter, GL_NEAREST);

  // 4 texels over 64 pixels: 16-pixel blocks, and the file's first row at the bottom.
  drawTexturedSquare(64);
  EXPECT_EQ(testenv::readPixel(8, 8).r, 0);
  EXPECT_EQ(testenv::readPixel(15, 8).r, 0);
  EXPECT_EQ(testenv::readPixel(16, 8).r, 255);
  EXPECT_EQ(testenv::readPixel(24, 8).r, 255);
  EXPECT_EQ(testenv::readPixel(8, 24).r, 255);

  // 64 texels over 8 pixels: every pixel is one texel, never a grey blend.
  loadChecker(64);
  drawTexturedSquare(8);
  for (int x = 0; x < 8; ++x)
    for (int y = 0; y < 8; ++y) {
      const int r = testenv::readPixel(x, y).r;
      EXPECT_TRUE(r == 0 || r == 255) << x << "," << y << " = " << r;
    }
}

TEST(Texture, LoadingANumberAgainReplacesItsImage) {
  testenv::TempDir dir;
  std::string red;
  for (int i = 0; i < 16; ++i)
    red += std::string("\0\0\xff", 3);
  testenv::writeFile(dir / "red.bmp", testenv::bmpBytes(4, 4, red));
  testenv::writeFile(dir / "wide.bmp", testenv::bmpBytes(8, 4, std::string(96, '\x40')));
  testenv::captureStdout([&] {
    loadTexture((dir / "red.bmp").string(), kScratch);
    loadTexture((dir / "wide.bmp").string(), kScratch);
  });
  glBindTexture(GL_TEXTURE_2D, kScratch);
  GLint width = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  EXPECT_EQ(width, 8);
  drawTexturedSquare(16);
  const testenv::Rgb pixel = testenv::readPixel(4, 4);
  EXPECT_EQ(pixel.r, 0x40);
  EXPECT_EQ(pixel.g, 0x40);
}

TEST(Texture, BuiltInTextureIsSixtyFourSquareClampedAndNearest) {
  createDefaultTexture();
  glBindTexture(GL_TEXTURE_2D, 0);
  GLint width = 0, height = 0, wrapS = 0, wrapT = 0, mag = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
  EXPECT_EQ(width, 64);
  EXPECT_EQ(height, 64);
  EXPECT_EQ(wrapS, GL_CLAMP);
  EXPECT_EQ(wrapT, GL_CLAMP);
  EXPECT_EQ(mag, GL_NEAREST);
}

}  // namespace
