// The BMP reader against hand-made good and broken files: messages, byte order, refusals.
#include <gtest/gtest.h>

#include <string>

#include "assets/bitmap.h"
#include "support/test_util.h"

namespace {

using brambleshot::BitmapImage;
using brambleshot::readBitmap;
using testenv::bmpBytes;

class BitmapReader : public ::testing::Test {
 protected:
  // Writes bytes to a file and reads it, returning what the reader printed.
  std::string read(const std::string& bytes, bool& ok) {
    const std::string path = (dir / "image.bmp").string();
    testenv::writeFile(path, bytes);
    return testenv::captureStdout([&] { ok = readBitmap(path, image); });
  }
  std::string pathOf(const std::string& name) const { return (dir / name).string(); }

  testenv::TempDir dir;
  BitmapImage image;
};

TEST_F(BitmapReader, SwapsBlueAndRedAndKeepsRowOrder) {
  std::string pixels(4 * 4 * 3, '\0');
  pixels[0] = 0x10;
  pixels[1] = 0x20;
  pixels[2] = 0x30;
  pixels[45] = 0x01;  // first pixel of the last stored row
  pixels[47] = 0x02;
  bool ok = false;
  EXPECT_EQ(read(bmpBytes(4, 4, pixels), ok), "");
  ASSERT_TRUE(ok);
  EXPECT_EQ(image.width, 4);
  EXPECT_EQ(image.height, 4);
  const unsigned char* p = image.pixels.get();
  EXPECT_EQ(p[0], 0x30);
  EXPECT_EQ(p[1], 0x20);
  EXPECT_EQ(p[2], 0x10);
  EXPECT_EQ(p[45], 0x02);
  EXPECT_EQ(p[47], 0x01);
}

TEST_F(BitmapReader, IgnoresTheFileHeaderAndBytesBeyondThePixels) {
  std::string bytes = bmpBytes(4, 2, std::string(24, '\x7f')) + "trailing bytes";
  bytes[0] = 'X';  // no signature check
  bytes[10] = 99;  // the pixel offset field is not consulted
  bool ok = false;
  read(bytes, ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(image.pixels[23], 0x7f);
}

TEST_F(BitmapReader, ReportsEachFailureInOneLine) {
  bool ok = true;
  const std::string missing = pathOf("missing.bmp");
  EXPECT_EQ(testenv::captureStdout([&] { ok = readBitmap(missing, image); }),
            "File Not Found : " + missing + "\n");
  EXPECT_FALSE(ok);

  const std::string path = pathOf("image.bmp");
  EXPECT_EQ(read(bmpBytes(4, 4, std::string(48, '\0'), 2, 24), ok),
            "Planes from " + path + " is not 1: 2\n");
  EXPECT_FALSE(ok);
  EXPECT_EQ(read(bmpBytes(4, 4, std::string(48, '\0'), 1, 8), ok),
            "Bpp from " + path + " is not 24: 8\n");
  EXPECT_FALSE(ok);
  EXPECT_EQ(read(bmpBytes(4, 4, std::string(47, '\0')), ok),
            "Error reading image data from " + path + ".\n");
  EXPECT_FALSE(ok);
  EXPECT_EQ(image.pixels, nullptr);
}

TEST_F(BitmapReader, RefusesSizesThatCannotBeReadSafely) {
  const std::string path = pathOf("image.bmp");
  bool ok = true;
  // Top-down, empty and negative images.
  EXPECT_EQ(read(bmpBytes(4, -4, std::string(48, '\0')), ok),
            "Size from " + path + " is not positive: 4 x -4\n");
  EXPECT_FALSE(ok);
  EXPECT_EQ(read(bmpBytes(0, 4, ""), ok), "Size from " + path + " is not positive: 0 x 4\n");
  EXPECT_FALSE(ok);
  // Rows of 3 pixels would be padded to 12 bytes in a real BMP.
  EXPECT_EQ(read(bmpBytes(3, 4, std::string(48, '\0')), ok),
            "Rows from " + path + " need padding: width 3 is not a multiple of 4\n");
  EXPECT_FALSE(ok);
  // A header that claims far more pixels than the file holds, up to an overflowing product:
  // refused before anything is allocated.
  EXPECT_EQ(read(bmpBytes(0x7ffffffc, 0x7fffffff, std::string(64, '\0')), ok),
            "Error reading image data from " + path + ".\n");
  EXPECT_FALSE(ok);
  EXPECT_EQ(read(bmpBytes(65536, 65536, std::string(64, '\0')), ok),
            "Error reading image data from " + path + ".\n");
  EXPECT_FALSE(ok);
  // A file cut inside its header.
  EXPECT_EQ(read(bmpBytes(4, 4, "").substr(0, 20), ok),
            "Header from " + path + " is incomplete: 20 bytes\n");
  EXPECT_FALSE(ok);
  EXPECT_EQ(read(bmpBytes(4, 4, "").substr(0, 40), ok),
            "Error reading image data from " + path + ".\n");
  EXPECT_FALSE(ok);
}

TEST_F(BitmapReader, LoadTextureEndsTheProcessWithStatusOneOnAnyFailure) {
  const std::string broken = pathOf("broken.bmp");
  testenv::writeFile(broken, bmpBytes(4, 4, std::string(10, '\0')));
  EXPECT_EXIT(brambleshot::loadTexture(pathOf("missing.bmp"), 5001), ::testing::ExitedWithCode(1),
              "");
  EXPECT_EXIT(brambleshot::loadTexture(broken, 5001), ::testing::ExitedWithCode(1), "");
}

}  // namespace
