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

// Loads a side x height checkerboard (or a white image) as kScratch and draws it on a square of
// side pixels at the window's bottom-left corner.
void loadAndDraw(int width, int height, bool checker, int side) {
  std::string pixels;
  for (int row = 0; row < height; ++row)
    for (int col = 0; col < width; ++col)
      pixels += std::string(3, !checker || (col + row) % 2 == 1 ? '\xff' : 0);
  testenv::TempDir dir;
  testenv::writeFile(dir / "image.bmp", testenv::bmpBytes(width, height, pixels));
  EXPECT_EQ(testenv::captureStdout([&] { loadTexture((dir / "image.bmp").string(), kScratch); }),
            "Trying to load: " + (dir / "image.bmp").string() + "\n");
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(bound, static_cast<GLint>(kScratch));  // left bound after loading
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
  for (const auto& [u, v] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}}) {
    glTexCoord2d(u, v);
    glVertex2d(u * side, v * side);
  }
  glEnd();
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_LIGHTING);
}

TEST(Texture, NearestFilteringShowsHardTexelsAndANumberLoadedAgainShowsItsNewImage) {
  testenv::resizeWindow(800, 600);
  // 4 texels over 64 pixels: hard 16-pixel blocks, the file's first row at the bottom.
  loadAndDraw(4, 4, true, 64);
  EXPECT_EQ(testenv::readPixel(15, 8).r, 0);
  EXPECT_EQ(testenv::readPixel(16, 8).r, 255);
  EXPECT_EQ(testenv::readPixel(8, 16).r, 255);

  // 64 texels over 8 pixels: every pixel is one texel, never a grey blend.
  loadAndDraw(64, 64, true, 8);
  for (int x = 0; x < 8; ++x)
    for (int y = 0; y < 8; ++y) {
      const int r = testenv::readPixel(x, y).r;
      EXPECT_TRUE(r == 0 || r == 255) << x << "," << y << " = " << r;
    }

  loadAndDraw(8, 4, false, 16);
  GLint width = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  EXPECT_EQ(width, 8);
  EXPECT_EQ(testenv::readPixel(4, 4).g, 255);
}

TEST(Texture, AnImageGLRefusesIsReportedAndEarlierErrorsAreNotBlamedOnIt) {
  GLint largest = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
  // Wider than GL takes: handed over directly, past the reader's own check.
  BitmapImage image;
  image.width = largest * 2;
  image.height = 1;
  image.pixels = std::make_unique<unsigned char[]>(static_cast<std::size_t>(image.width) * 3);
  bool ok = true;
  EXPECT_EQ(testenv::captureStdout([&] { ok = uploadTexture(image, kScratch, "wide.bmp"); }),
            "Texture from wide.bmp was refused by GL: error 0x0501\n");
  EXPECT_FALSE(ok);

  // An error left over from earlier GL work does not count against a good image.
  glEnable(GL_RGB);  // not a capability: GL_INVALID_ENUM
  image.width = image.height = 4;
  EXPECT_EQ(testenv::captureStdout([&] { ok = uploadTexture(image, kScratch, "small.bmp"); }), "");
  EXPECT_TRUE(ok);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
