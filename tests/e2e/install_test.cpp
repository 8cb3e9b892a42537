// The installed game: `cmake --install` into a staging folder, the launcher started from another
// directory with a read-only data directory, and the desktop entry, metainfo and man page valid.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "e2e/screen_layout.h"
#include "game_driver.h"
#include "support/test_util.h"

namespace e2e {

using namespace driver;
namespace {

namespace fs = std::filesystem;

class Installed : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    stage = new testenv::TempDir;
    const testenv::ProcessResult install =
        testenv::runProcess("/usr/bin/env",
                            {"DESTDIR=" + stage->path().string(), "cmake", "--install",
                             BRAMBLESHOT_BUILD_DIR, "--prefix", "/usr"},
                            "/", 120);
    installOutput = install.output;
    installed = install.exitCode == 0;
  }
  static void TearDownTestSuite() {
    // Give the read-only data back its write bits so the staging folder can be removed.
    testenv::runProcess("/bin/chmod", {"-R", "u+w", stage->path().string()}, "/", 30);
    delete stage;
  }
  void SetUp() override { ASSERT_TRUE(installed) << installOutput; }
  fs::path usr(const std::string& relative) const { return stage->path() / "usr" / relative; }

  static inline testenv::TempDir* stage = nullptr;
  static inline bool installed = false;
  static inline std::string installOutput;
};

TEST_F(Installed, LauncherStartsTheGameFromAnyDirectory) {
  ASSERT_TRUE(fs::exists(usr("share/brambleshot/Resources/desert05.bmp")));
  testenv::runProcess("/bin/chmod", {"-R", "a-w", usr("share/brambleshot").string()}, "/", 30);
  VirtualScreen screen;
  ASSERT_TRUE(screen.ok());
  testenv::TempDir elsewhere;
  GameProcess game(screen.name(), elsewhere.path(), 60.0, usr("bin/brambleshot"));
  ASSERT_TRUE(game.waitForWindow()) << game.output();
  const Picture start = game.waitForPicture([](const Picture& p) {
    return p.count(kStartLabel.x0, kStartLabel.y0, kStartLabel.x1, kStartLabel.y1,
                   [](const Rgb& c) { return c.r + c.g + c.b > 200; }) > 100;
  });
  EXPECT_FALSE(start.empty()) << "no start screen: " << game.output();
  EXPECT_EQ(game.output().find("Could not open"), std::string::npos) << game.output();
  game.key("q");
  EXPECT_EQ(game.waitForExit(20.0), 0);

  // The launcher hands the options on: a refusal keeps its status.
  const testenv::ProcessResult refused =
      testenv::runProcess(usr("bin/brambleshot"), {"--window", "1x1"}, elsewhere.path(), 30);
  EXPECT_EQ(refused.exitCode, 2) << refused.output;
}

// The launcher enters the data directory; demo paths stay the player's.
TEST_F(Installed, RelativeDemoPathsStartFromThePlayersDirectory) {
  VirtualScreen screen;
  ASSERT_TRUE(screen.ok());
  testenv::TempDir elsewhere;
  {
    GameProcess game(screen.name(), elsewhere.path(), 60.0, usr("bin/brambleshot"),
                     {{"--record", "mine.demo"}, {}});
    ASSERT_TRUE(game.waitForWindow()) << game.output();
    game.key("n");
    game.settle();
    game.key("q");
    ASSERT_EQ(game.waitForExit(20.0), 0) << game.output();
  }
  ASSERT_TRUE(fs::exists(elsewhere / "mine.demo"));
  GameProcess replay(screen.name(), elsewhere.path(), 60.0, usr("bin/brambleshot"),
                     {{"--play=mine.demo", "--fast"}, {}});
  EXPECT_EQ(replay.waitForExit(50.0), 0) << replay.output();
  EXPECT_NE(replay.output().find("mine.demo: "), std::string::npos) << replay.output();
}

TEST_F(Installed, DesktopEntryMetainfoAndIconsAreValid) {
  const testenv::ProcessResult desktop =
      testenv::runProcess("/usr/bin/desktop-file-validate",
                          {usr("share/applications/brambleshot.desktop").string()}, "/", 60);
  EXPECT_EQ(desktop.exitCode, 0) << desktop.output;
  EXPECT_EQ(desktop.output, "");
  const testenv::ProcessResult metainfo = testenv::runProcess(
      "/usr/bin/appstreamcli",
      {"validate", "--no-net",
       usr("share/metainfo/io.github.brambleshot.Brambleshot.metainfo.xml").string()},
      "/", 60);
  EXPECT_EQ(metainfo.exitCode, 0) << metainfo.output;
  for (const char* size : {"16x16", "32x32", "48x48", "64x64", "128x128", "256x256"}) {
    const std::string png =
        testenv::readFile(usr("share/icons/hicolor/") / size / "apps/brambleshot.png");
    EXPECT_EQ(png.substr(1, 3), "PNG") << size;
  }
}

TEST_F(Installed, ManPageFormatsWithoutWarnings) {
  const std::string page = usr("share/man/man6/brambleshot.6").string();
  const testenv::ProcessResult groff =
      testenv::runProcess("/usr/bin/groff", {"-man", "-z", "-ww", page}, "/", 60);
  EXPECT_EQ(groff.exitCode, 0);
  EXPECT_EQ(groff.output, "");
  const testenv::ProcessResult whatis = testenv::runProcess("/usr/bin/lexgrog", {page}, "/", 60);
  EXPECT_NE(whatis.output.find("brambleshot - defend the desert"), std::string::npos)
      << whatis.output;
  const testenv::ProcessResult man =
      testenv::runProcess("/usr/bin/man", {"-P", "cat", "-l", page}, "/", 60);
  EXPECT_EQ(man.exitCode, 0) << man.output;
  for (const char* section : {"SYNOPSIS", "CONTROLS", "FILES", "EXIT STATUS"})
    EXPECT_NE(man.output.find(section), std::string::npos) << section;
}

}  // namespace
}  // namespace e2e
