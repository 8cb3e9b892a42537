// Resource files that are not plain files, and meshes beyond the size cap: refused at once, as a
// missing file is, by both loaders.
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

}  // namespace
