// The committed images: masked pictures suit the way the game draws them, and the generator
// still makes every committed resource byte for byte.
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

// Every committed file is made again byte for byte, and nothing more is made: the resources
// (34 images, 3 models and 11 sounds) and the desktop icons.
TEST(ResourceImages, GeneratorReproducesEveryCommittedFile) {
  const testenv::TempDir out;
  const auto compare = [&](const std::vector<std::string>& args, const fs::path& generated,
                           const fs::path& committed, int count) {
    const testenv::ProcessResult run =
        testenv::runProcess(BRAMBLESHOT_RESGEN, args, testenv::sourceDir(), 120);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    int compared = 0;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(generated)) {
      if (!entry.is_regular_file()) continue;
      const fs::path name = fs::relative(entry.path(), generated);
      // EXPECT_TRUE rather than EXPECT_EQ: a failure should not print megabytes of pixels.
      EXPECT_TRUE(testenv::readFile(committed / name) == testenv::readFile(entry))
          << name << " not generated as committed: run `make resources` / `make icons`";
      ++compared;
    }
    EXPECT_EQ(compared, count) << committed;
  };
  compare({(out / "res").string()}, out / "res", resource(""), 48);
  compare({"--icons", (out / "icons").string()}, out / "icons", testenv::sourceDir() / "data/icons",
          7);
}

}  // namespace
