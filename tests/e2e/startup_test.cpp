// Start-up with a damaged Resources folder: a missing, broken or unusable image stops the game
// with the loader's messages and status 1; a mesh that cannot be read is only reported.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "game_driver.h"
#include "support/test_util.h"

namespace e2e {

using namespace driver;
namespace {

namespace fs = std::filesystem;

// A working directory holding a copy of the game's Resources.
class DamagedResources : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(screen.ok());
    fs::copy(resourcesPath(), dir / "Resources");
  }
  void remove(const std::string& file) { fs::remove(dir / "Resources" / file); }
  // Runs the game to its end; returns its exit status.
  int runToExit() {
    GameProcess game(screen.name(), dir.path(), 60.0);
    const int status = game.waitForExit(50.0);
    output = game.output();
    return status;
  }

  VirtualScreen screen;
  testenv::TempDir dir;
  std::string output;
};

TEST_F(DamagedResources, AnyMissingImageStopsStartUpWithItsName) {
  // The first image loaded (the squadron's bomb), one from the middle and the last one.
  for (const char* file : {"bomb.bmp", "target.bmp", "num5.bmp", "help_mask.bmp"}) {
    SCOPED_TRACE(file);
    fs::copy_file(resourcesPath() / file, dir / file, fs::copy_options::overwrite_existing);
    remove(file);
    EXPECT_EQ(runToExit(), 1) << output;
    const std::string path = std::string("./Resources/") + file;
    EXPECT_NE(output.find("Trying to load: " + path + "\nFile Not Found : " + path + "\n"),
              std::string::npos)
        << output;
    // Nothing is loaded after the failure.
    EXPECT_EQ(output.rfind("File Not Found"), output.find("File Not Found"));
    fs::copy_file(dir / file, dir / "Resources" / file);
  }
}

TEST_F(DamagedResources, BrokenImagesAreRefusedWithTheirReason) {
  const fs::path desert = dir / "Resources" / "desert05.bmp";
  const std::string original = testenv::readFile(desert);

  testenv::writeFile(desert, original.substr(0, original.size() / 2));
  EXPECT_EQ(runToExit(), 1);
  EXPECT_NE(output.find("Error reading image data from ./Resources/desert05.bmp.\n"),
            std::string::npos)
      << output;

  std::string eightBit = original;
  eightBit[28] = 8;
  testenv::writeFile(desert, eightBit);
  EXPECT_EQ(runToExit(), 1);
  EXPECT_NE(output.find("Bpp from ./Resources/desert05.bmp is not 24: 8\n"), std::string::npos)
      << output;

  testenv::writeFile(desert, "not an image at all");
  EXPECT_EQ(runToExit(), 1);
  EXPECT_NE(output.find("./Resources/desert05.bmp"), std::string::npos) << output;

  // A valid file wider than any GL texture: GL would take nothing and show white.
  testenv::writeFile(desert, testenv::bmpBytes(65536, 4, std::string(65536 * 4 * 3, '\x40')));
  EXPECT_EQ(runToExit(), 1);
  EXPECT_NE(output.find("Size from ./Resources/desert05.bmp is larger than the largest texture, "),
            std::string::npos)
      << output;
}

TEST_F(DamagedResources, MissingOrUnreadableMeshesAreOnlyReported) {
  // An endless device, a FIFO nobody writes to, a directory: refused as if missing.
  remove("Tank.m");
  fs::create_symlink("/dev/zero", dir / "Resources" / "Tank.m");
  remove("Wheel.m");
  ASSERT_EQ(mkfifo((dir / "Resources" / "Wheel.m").c_str(), 0600), 0);
  remove("cessna500.m");
  fs::create_directory(dir / "Resources" / "cessna500.m");
  GameProcess game(screen.name(), dir.path(), 60.0);
  ASSERT_TRUE(game.waitForWindow()) << game.output();
  game.key("n");
  game.settle(0.5);
  EXPECT_TRUE(game.running());
  for (const char* mesh : {"Tank.m", "Wheel.m", "cessna500.m"})
    EXPECT_NE(game.output().find(std::string("Could not open file ./Resources/") + mesh + "\n"),
              std::string::npos)
        << mesh;
  game.key("q");
  EXPECT_EQ(game.waitForExit(20.0), 0);
}

}  // namespace
}  // namespace e2e
