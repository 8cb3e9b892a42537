// Images GL refuses. (Filtering and reloading a texture number show in the panel's and the
// tank's picture tests, which read their synthetic pictures back as pixels.)
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>

#include "assets/bitmap.h"
#include "support/test_util.h"

namespace {

using namespace brambleshot;

TEST(Texture, AnImageGLRefusesIsReportedAndEarlierErrorsAreNotBlamedOnIt) {
  constexpr TextureId kScratch = 7777;  // a number the game never uses
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
