// Textures as GL sees them: nearest filtering both ways, reloading a number, images GL refuses.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "assets/bitmap.h"
#include "support/gl_env.h"
#include "support/test_util.h"

namespace {

using namespace brambleshot;

constexpr TextureId kScratch = 7777;  // a number the game never uses

// Loads a width x height image as kScratch; texel (col, row) is white when white(col, row).
template <typename Pattern>
void loadImage(int width, int height, Pattern white) {
  std::string pixels;
  for (int row = 0; row < height; ++row)
    for (int col = 0; col < width; ++col)
      pixels += std::string(3, white(col, row) ? '\xff' : 0);
  testenv::TempDir dir;
  testenv::writeFile(dir / "image.bmp", testenv::bmpBytes(width, height, pixels));
  const std::string out =
      testenv::captureStdout([&] { loadTexture((dir / "image.bmp").string(), kScratch); });
  EXPECT_EQ(out, "Trying to load: " + (dir / "image.bmp").string() + "\n");
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
  glEnable(GL_TEXTURE_2D);
  glColor3f(1, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
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
  glEnable(GL_LIGHTING);
}

TEST(Texture, NearestFilteringShowsHardTexelsMagnifiedAndMinified) {
  testenv::resizeWindow(800, 600);
  const auto checker = [](int col, int row) { return (col + row) % 2 == 1; };
  loadImage(4, 4, checker);
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(bound, static_cast<GLint>(kScratch));  // left bound after loading

  // 4 texels over 64 pixels: hard 16-pixel blocks, the file's first row at the bottom.
  drawTexturedSquare(64);
  EXPECT_EQ(testenv::readPixel(15, 8).r, 0);
  EXPECT_EQ(testenv::readPixel(16, 8).r, 255);
  EXPECT_EQ(testenv::readPixel(8, 16).r, 255);

  // 64 texels over 8 pixels: every pixel is one texel, never a grey blend.
  loadImage(64, 64, checker);
  drawTexturedSquare(8);
  for (int x = 0; x < 8; ++x)
    for (int y = 0; y < 8; ++y) {
      const int r = testenv::readPixel(x, y).r;
      EXPECT_TRUE(r == 0 || r == 255) << x << "," << y << " = " << r;
    }
}

TEST(Texture, LoadingANumberAgainReplacesItsImage) {
  loadImage(4, 4, [](int, int) { return false; });
  loadImage(8, 4, [](int, int) { return true; });
  GLint width = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  EXPECT_EQ(width, 8);
  drawTexturedSquare(16);
  EXPECT_EQ(testenv::readPixel(4, 4).g, 255);
}

TEST(Texture, AnImageGLRefusesIsReportedAndEarlierErrorsAreNotBlamedOnIt) {
  GLint largest = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
  // Wider than GL takes: handed over directly, past the reader's own check.
  BitmapImage wide;
  wide.width = largest * 2;
  wide.height = 1;
  wide.pixels = std::make_unique<unsigned char[]>(static_cast<std::size_t>(wide.width) * 3);
  bool ok = true;
  EXPECT_EQ(testenv::captureStdout([&] { ok = uploadTexture(wide, kScratch, "wide.bmp"); }),
            "Texture from wide.bmp was refused by GL: error 0x0501\n");
  EXPECT_FALSE(ok);

  // An error left over from earlier GL work does not count against a good image.
  glEnable(GL_RGB);  // not a capability: GL_INVALID_ENUM
  BitmapImage small;
  small.width = 4;
  small.height = 4;
  small.pixels = std::make_unique<unsigned char[]>(4 * 4 * 3);
  EXPECT_EQ(testenv::captureStdout([&] { ok = uploadTexture(small, kScratch, "small.bmp"); }), "");
  EXPECT_TRUE(ok);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
