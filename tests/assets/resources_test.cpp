// Resource files: what is not a plain file, or a mesh beyond the size cap, is refused at once by
// both loaders, as a missing file is; and the generator still makes every committed resource
// byte for byte.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "assets/bitmap.h"
#include "assets/mesh.h"
#include "support/test_util.h"

namespace {

namespace fs = std::filesystem;

TEST(ResourceFiles, OnlyRegularFilesAndMeshesUpToSixtyFourMiBAreRead) {
  testenv::TempDir dir;
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", dir / "zero");
  fs::create_directory(dir / "folder");
  // Each would block in open, feed an endless stream, or read as an empty file.
  for (const fs::path& path : {dir / "fifo", dir / "zero", dir / "folder"}) {
    SCOPED_TRACE(path);
    brambleshot::Mesh mesh;
    EXPECT_EQ(testenv::captureStdout([&] { mesh.load(path, 0); }),
              "Could not open file " + path.string() + "\n");
    EXPECT_TRUE(mesh.vertices.empty());
    brambleshot::BitmapImage image;
    bool ok = true;
    EXPECT_EQ(testenv::captureStdout([&] { ok = brambleshot::readBitmap(path, image); }),
              "File Not Found : " + path.string() + "\n");
    EXPECT_FALSE(ok);
  }

  const fs::path path = dir / "big.m";
  const std::uintmax_t cap = std::uintmax_t{64} << 20;
  for (const std::uintmax_t size : {cap, cap + 1}) {
    // One vertex, then zero bytes (a sparse file: nothing is written to the disk).
    testenv::writeFile(path, "Vertex 0 1 2 3\n");
    fs::resize_file(path, size);
    brambleshot::Mesh mesh;
    EXPECT_EQ(testenv::captureStdout([&] { mesh.load(path, 0); }),
              size == cap
                  ? ""
                  : "Mesh file " + path.string() + " is larger than 64 MiB: model left out\n");
    EXPECT_EQ(mesh.vertices.size(), size == cap ? 1u : 0u) << size;
  }
}

// Every committed file is made again byte for byte, and nothing more is made: the resources
// (41 images, 3 models and 12 sounds) and the desktop icons.
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
  compare({(out / "res").string()}, out / "res", testenv::sourceDir() / "Resources", 56);
  compare({"--icons", (out / "icons").string()}, out / "icons", testenv::sourceDir() / "data/icons",
          7);
}

}  // namespace
