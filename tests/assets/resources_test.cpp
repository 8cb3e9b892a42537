// The committed images: the game's reader accepts them, masked pictures suit the way the game
// draws them, and the generator still makes every committed resource byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <string>

#include "assets/bitmap.h"
#include "support/test_util.h"

namespace {

namespace fs = std::filesystem;
using brambleshot::BitmapImage;

fs::path resource(const std::string& name) {
  return testenv::sourceDir() / "Resources" / name;
}

BitmapImage load(const std::string& name) {
  BitmapImage image;
  EXPECT_TRUE(brambleshot::readBitmap(resource(name).string(), image)) << name;
  return image;
}

TEST(ResourceImages, EveryImageLoadsWithPowerOfTwoSides) {
  int count = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(resource(""))) {
    if (entry.path().extension() != ".bmp") continue;
    SCOPED_TRACE(entry.path().filename().string());
    const BitmapImage image = load(entry.path().filename().string());
    ASSERT_TRUE(image.pixels);
    EXPECT_TRUE(image.width >= 4 && (image.width & (image.width - 1)) == 0) << image.width;
    EXPECT_TRUE(image.height > 0 && (image.height & (image.height - 1)) == 0) << image.height;
    // Exactly header plus pixels: nothing trails that another reader could trip over.
    EXPECT_EQ(entry.file_size(), 54u + static_cast<std::uintmax_t>(image.width) * image.height * 3);
    ++count;
  }
  EXPECT_EQ(count, 34);
}

// The scene is multiplied by a mask and the picture then added: wherever the mask lets the whole
// scene through, the picture must add nothing, or the overlay shows a coloured box.
TEST(ResourceImages, MaskedPicturesAddNothingWhereTheSceneShows) {
  const std::pair<const char*, const char*> pairs[] = {
      {"target.bmp", "targetMask.bmp"},
      {"muzzle_flash.bmp", "muzzle_flash_mask.bmp"},
      {"help.bmp", "help_mask.bmp"},
      {"scores.bmp", "scores_mask.bmp"},
      {"hint.bmp", "hint_mask.bmp"}};
  for (const auto& [pictureName, maskName] : pairs) {
    const BitmapImage picture = load(pictureName), mask = load(maskName);
    ASSERT_TRUE(picture.pixels && mask.pixels && picture.width == mask.width &&
                picture.height == mask.height)
        << maskName;
    int worst = 0;
    for (int i = 0; i < mask.width * mask.height * 3; ++i)
      if (mask.pixels[i] == 255) worst = std::max<int>(worst, picture.pixels[i]);
    EXPECT_LE(worst, 1) << pictureName;
  }
}

TEST(ResourceImages, GeneratorReproducesEveryCommittedFile) {
  const testenv::TempDir out;
  const testenv::ProcessResult run =
      testenv::runProcess(BRAMBLESHOT_RESGEN, {out.path().string()}, testenv::sourceDir(), 120);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  int compared = 0;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(resource(""))) {
    if (!entry.is_regular_file()) continue;
    const fs::path name = fs::relative(entry.path(), resource(""));
    SCOPED_TRACE(name.string());
    // EXPECT_TRUE rather than EXPECT_EQ: a failure should not print megabytes of pixels.
    EXPECT_TRUE(fs::exists(out / name) && testenv::readFile(out / name) == testenv::readFile(entry))
        << "not generated as committed: run `make resources` and commit Resources/";
    ++compared;
  }
  EXPECT_EQ(compared, 48);  // 34 images, 3 models and 11 sounds
  const auto generated = std::count_if(
      fs::recursive_directory_iterator(out.path()), fs::recursive_directory_iterator(),
      [](const fs::directory_entry& e) { return e.is_regular_file(); });
  EXPECT_EQ(generated, compared);

  // The desktop icons come from the same generator.
  const testenv::ProcessResult icons = testenv::runProcess(
      BRAMBLESHOT_RESGEN, {"--icons", (out / "icons").string()}, testenv::sourceDir(), 120);
  ASSERT_EQ(icons.exitCode, 0) << icons.output;
  const fs::path committed = testenv::sourceDir() / "data/icons";
  int iconCount = 0;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(out / "icons")) {
    if (!entry.is_regular_file()) continue;
    const fs::path relative = fs::relative(entry.path(), out / "icons");
    EXPECT_TRUE(testenv::readFile(committed / relative) == testenv::readFile(entry))
        << relative << " not generated as committed: run `make icons`";
    ++iconCount;
  }
  EXPECT_EQ(iconCount, 7);
}

}  // namespace
