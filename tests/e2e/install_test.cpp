// The installed game: `cmake --install` into a staging folder, the launcher started from another
// directory with a read-only data directory, and the desktop entry, metainfo and man page valid.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "e2e/screen_layout.h"
#include "support/test_util.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

class Installed : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    install = testenv::runProcess("/usr/bin/env",
                                  {"DESTDIR=" + stage.path().string(), "cmake", "--install",
                                   BRAMBLESHOT_BUILD_DIR, "--prefix", "/usr"},
                                  "/", 120);
  }
  static void TearDownTestSuite() {
    // Give the read-only data back its write bits so the staging folder can be removed.
    testenv::runProcess("/bin/chmod", {"-R", "u+w", stage.path().string()}, "/", 30);
  }
  void SetUp() override { ASSERT_EQ(install.exitCode, 0) << install.output; }
  static fs::path usr(const std::string& relative) { return stage.path() / "usr" / relative; }

  static inline testenv::TempDir stage;
  static inline testenv::ProcessResult install;
};

// The launcher starts the game from any directory with the data read-only, and hands the
// options on: demo paths stay relative to the player's directory, a refusal keeps its status.
// The game is killed while it records: the demo replays up to where it stopped.
TEST_F(Installed, LauncherStartsTheGameFromAnyDirectory) {
  testenv::runProcess("/bin/chmod", {"-R", "a-w", usr("share/brambleshot").string()}, "/", 30);
  VirtualScreen screen;
  ASSERT_TRUE(screen.ok());
  testenv::TempDir elsewhere;
  {
    GameProcess game(screen.name(), elsewhere.path(), 60.0, usr("bin/brambleshot"),
                     {{"--record", "mine.demo"}, {}});
    ASSERT_TRUE(game.waitForWindow()) << game.output();
    EXPECT_TRUE(sees(game, [](const Picture& p) { return shown(p, kStartLabel); }))
        << "no start screen: " << game.output();
    EXPECT_EQ(game.output().find("Could not open"), std::string::npos) << game.output();
    game.key("n");
    game.movePointer(400, 100);
    game.settle();
  }  // killed
  ASSERT_TRUE(fs::exists(elsewhere / "mine.demo"));
  GameProcess replay(screen.name(), elsewhere.path(), 60.0, usr("bin/brambleshot"),
                     {{"--play=mine.demo", "--fast"}, {}});
  EXPECT_EQ(replay.waitForExit(50.0), 0) << replay.output();
  EXPECT_NE(replay.output().find("mine.demo: "), std::string::npos) << replay.output();
  EXPECT_PRED_FORMAT2(testing::IsSubstring, "the recording stopped there", replay.output());
  EXPECT_EQ(testenv::runProcess(usr("bin/brambleshot"), {"--window", "1x1"}, elsewhere.path(), 30)
                .exitCode,
            2);
}

// The validators and groff have nothing to say about the installed files.
TEST_F(Installed, DesktopEntryMetainfoIconsAndManPageAreValid) {
  const std::string page = usr("share/man/man6/brambleshot.6").string();
  const struct {
    const char* program;
    std::vector<std::string> args;
    bool quiet = true;  // not even a warning
  } checks[] = {
      {"/usr/bin/desktop-file-validate", {usr("share/applications/brambleshot.desktop")}},
      {"/usr/bin/appstreamcli",
       {"validate", "--no-net",
        usr("share/metainfo/io.github.brambleshot.Brambleshot.metainfo.xml")},
       false},
      {"/usr/bin/groff", {"-man", "-z", "-ww", page}},
  };
  for (const auto& c : checks) {
    const testenv::ProcessResult result = testenv::runProcess(c.program, c.args, "/", 60);
    EXPECT_EQ(result.exitCode, 0) << c.program << ": " << result.output;
    EXPECT_TRUE(!c.quiet || result.output.empty()) << c.program << ": " << result.output;
  }
  for (const char* size : {"16x16", "32x32", "48x48", "64x64", "128x128", "256x256"})
    EXPECT_TRUE(fs::is_regular_file(usr("share/icons/hicolor/") / size / "apps/brambleshot.png"));
  EXPECT_NE(testenv::runProcess("/usr/bin/lexgrog", {page}, "/", 60)
                .output.find("brambleshot - defend the desert"),
            std::string::npos);
  const testenv::ProcessResult man =
      testenv::runProcess("/usr/bin/man", {"-P", "cat", "-l", page}, "/", 60);
  for (const char* section : {"SYNOPSIS", "CONTROLS", "FILES", "EXIT STATUS"})
    EXPECT_NE(man.output.find(section), std::string::npos) << section << man.output;
}

}  // namespace
}  // namespace e2e
