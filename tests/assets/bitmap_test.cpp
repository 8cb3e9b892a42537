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
  // Writes bytes as a file, reads it and returns what the reader printed.
  std::string read(const std::string& bytes) {
    testenv::writeFile(path, bytes);
    return testenv::captureStdout([&] { ok = readBitmap(path, image); });
  }

  testenv::TempDir dir;
  const std::string path = (dir / "image.bmp").string();
  BitmapImage image;
  bool ok = false;
};

TEST_F(BitmapReader, SwapsBlueAndRedAndIgnoresWhatItDoesNotRead) {
  std::string pixels(4 * 4 * 3, '\0');
  pixels.replace(0, 3, "\x10\x20\x30");
  pixels.replace(45, 3, "\x01\x00\x02", 3);  // first pixel of the last stored row
  std::string bytes = bmpBytes(4, 4, pixels) + "trailing bytes";
  bytes[0] = 'X';  // no signature check
  bytes[10] = 99;  // the pixel offset field is not consulted
  EXPECT_EQ(read(bytes), "");
  ASSERT_TRUE(ok);
  EXPECT_EQ(image.width, 4);
  EXPECT_EQ(image.height, 4);
  const unsigned char* p = image.pixels.get();
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(p), 3), "\x30\x20\x10");
  EXPECT_EQ(p[45], 0x02);
  EXPECT_EQ(p[47], 0x01);
}

TEST_F(BitmapReader, RefusesEveryBrokenFileWithOneLineAndReadsNothingOutside) {
  const std::string full(48, '\0');
  const struct {
    std::string bytes;
    std::string message;
  } cases[] = {
      {bmpBytes(4, 4, full, 2, 24), "Planes from " + path + " is not 1: 2\n"},
      {bmpBytes(4, 4, full, 1, 8), "Bpp from " + path + " is not 24: 8\n"},
      {bmpBytes(4, 4, std::string(47, '\0')), "Error reading image data from " + path + ".\n"},
      {bmpBytes(4, -4, full), "Size from " + path + " is not positive: 4 x -4\n"},
      {bmpBytes(0, 4, ""), "Size from " + path + " is not positive: 0 x 4\n"},
      {bmpBytes(3, 4, full),
       "Rows from " + path + " need padding: width 3 is not a multiple of 4\n"},
      // Headers claiming far more than the file holds, up to an overflowing product: refused
      // before anything is allocated.
      {bmpBytes(0x7ffffffc, 0x7fffffff, std::string(64, '\0')),
       "Error reading image data from " + path + ".\n"},
      {bmpBytes(65536, 65536, std::string(64, '\0')),
       "Error reading image data from " + path + ".\n"},
      {bmpBytes(4, 4, "").substr(0, 20), "Header from " + path + " is incomplete: 20 bytes\n"},
      {bmpBytes(4, 4, "").substr(0, 40), "Error reading image data from " + path + ".\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(read(c.bytes), c.message);
    EXPECT_FALSE(ok);
    EXPECT_EQ(image.pixels, nullptr);
  }
}

}  // namespace
