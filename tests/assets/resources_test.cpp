// The committed images: the game's reader accepts them, they are drawn the way the game draws
// them, and the generator still makes every committed resource byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "assets/bitmap.h"
#include "support/test_util.h"

namespace {

namespace fs = std::filesystem;
using brambleshot::BitmapImage;

const std::vector<std::string> kImages = {
    "target.bmp", "targetMask.bmp", "muzzle_flash.bmp", "muzzle_flash_mask.bmp",
    "bomb.bmp",   "explosion.bmp",  "desert05.bmp",     "numNeg.bmp",
    "num0.bmp",   "num1.bmp",       "num2.bmp",         "num3.bmp",
    "num4.bmp",   "num5.bmp",       "num6.bmp",         "num7.bmp",
    "num8.bmp",   "num9.bmp",       "Start.bmp",        "GameOver.bmp",
    "Cannon.bmp", "Reloading.bmp",  "Score.bmp",        "Health.bmp",
    "Kills.bmp",  "Escapes.bmp",    "help.bmp",         "help_mask.bmp",
};

fs::path resource(const std::string& name) {
  return testenv::sourceDir() / "Resources" / name;
}

BitmapImage load(const std::string& name) {
  BitmapImage image;
  EXPECT_TRUE(brambleshot::readBitmap(resource(name).string(), image)) << name;
  return image;
}

bool powerOfTwo(int v) {
  return v > 0 && (v & (v - 1)) == 0;
}

// Channel c (0 R, 1 G, 2 B) of the pixel in stored row `row` (0 = first stored), column x.
int channel(const BitmapImage& image, int x, int row, int c) {
  return image.pixels[(static_cast<std::size_t>(row) * image.width + x) * 3 + c];
}

TEST(ResourceImages, EveryImageLoadsWithPowerOfTwoSides) {
  ASSERT_EQ(kImages.size(), 28u);
  for (const std::string& name : kImages) {
    SCOPED_TRACE(name);
    const BitmapImage image = load(name);
    ASSERT_TRUE(image.pixels);
    EXPECT_TRUE(powerOfTwo(image.width)) << image.width;
    EXPECT_TRUE(powerOfTwo(image.height)) << image.height;
    EXPECT_GE(image.width, 4);
    // Exactly header plus pixels: nothing trails that another reader could trip over.
    EXPECT_EQ(fs::file_size(resource(name)),
              54u + static_cast<std::uintmax_t>(image.width) * image.height * 3);
  }
}

// The scene is multiplied by a mask and the picture is then added: wherever the mask lets the
// whole scene through, the picture must add nothing, or the overlay shows a coloured box.
TEST(ResourceImages, MaskedPicturesAddNothingWhereTheSceneShows) {
  const std::pair<const char*, const char*> pairs[] = {
      {"target.bmp", "targetMask.bmp"},
      {"muzzle_flash.bmp", "muzzle_flash_mask.bmp"},
      {"help.bmp", "help_mask.bmp"}};
  for (const auto& [pictureName, maskName] : pairs) {
    SCOPED_TRACE(pictureName);
    const BitmapImage picture = load(pictureName);
    const BitmapImage mask = load(maskName);
    ASSERT_EQ(picture.width, mask.width);
    ASSERT_EQ(picture.height, mask.height);
    int cutOut = 0;
    int worst = 0;
    for (int row = 0; row < mask.height; ++row) {
      for (int x = 0; x < mask.width; ++x) {
        for (int c = 0; c < 3; ++c) {
          if (channel(mask, x, row, c) == 255) worst = std::max(worst, channel(picture, x, row, c));
        }
        if (channel(mask, x, row, 0) < 128) ++cutOut;
      }
    }
    EXPECT_LE(worst, 1);
    // Corners show the scene; a real part of the square is cut out for the picture.
    EXPECT_EQ(channel(mask, 0, 0, 0), 255);
    EXPECT_EQ(channel(mask, mask.width - 1, mask.height - 1, 0), 255);
    EXPECT_GT(cutOut, mask.width * mask.height / 20);
  }
}

// The backdrop's texture coordinates put the first stored row at the top of the screen, so the
// file holds sky first and sand last; the other way round the desert would hang from the sky.
TEST(ResourceImages, BackdropIsStoredSkyFirst) {
  const BitmapImage desert = load("desert05.bmp");
  ASSERT_TRUE(desert.pixels);
  const auto blueMinusRed = [&](int row) {
    long sum = 0;
    for (int x = 0; x < desert.width; ++x)
      sum += channel(desert, x, row, 2) - channel(desert, x, row, 0);
    return sum / desert.width;
  };
  EXPECT_GT(blueMinusRed(desert.height / 12), -10);  // a cool sky near the top of the view
  EXPECT_LT(blueMinusRed(desert.height - 1), -60);   // warm sand at the bottom
}

TEST(ResourceImages, GeneratorReproducesEveryCommittedFile) {
  const testenv::TempDir out;
  const testenv::ProcessResult run =
      testenv::runProcess(BRAMBLESHOT_RESGEN, {out.path().string()}, testenv::sourceDir(), 120);
  ASSERT_EQ(run.exitCode, 0) << run.output;

  for (const std::string& name : kImages)
    EXPECT_TRUE(fs::exists(out / name)) << name;
  int compared = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(out.path())) {
    const std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    ASSERT_TRUE(fs::exists(resource(name))) << "generated but not committed";
    // EXPECT_TRUE rather than EXPECT_EQ: a failure should not print megabytes of pixels.
    EXPECT_TRUE(testenv::readFile(entry.path()) == testenv::readFile(resource(name)))
        << "differs from the committed file: run `make resources` and commit Resources/";
    ++compared;
  }
  EXPECT_GE(compared, static_cast<int>(kImages.size()));
}

}  // namespace
