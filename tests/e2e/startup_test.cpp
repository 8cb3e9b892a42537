// A damaged Resources folder, output captured, closed or a broken pipe: a bad image stops the
// game with status 1; a bad mesh or sound is only reported. Messages never kill nor hang it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "e2e/screen_layout.h"
#include "support/test_util.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

TEST(DamagedResources, StopTheGameOrAreOnlyReported) {
  const std::string sound = "brambleshot: playing without sound: ./Resources/sounds/";
  const auto captured = StandardOutput::captured;
  const struct {
    const char* name;
    const char* file;   // in the copy of Resources
    std::string bytes;  // what it then holds; removed if empty
    StandardOutput output;
    int status;           // 1: start-up stops there; 0: the game plays and quits
    std::string message;  // in what the game prints (when captured)
  } cases[] = {
      {"image missing", "num5.bmp", "", captured, 1,
       "Trying to load: ./Resources/num5.bmp\nFile Not Found : ./Resources/num5.bmp\n"},
      // A valid file wider than any GL texture: GL would take nothing and show white.
      {"image too wide", "desert05.bmp",
       testenv::bmpBytes(65536, 4, std::string(65536 * 4 * 3, '\x40')), captured, 1,
       "Size from ./Resources/desert05.bmp is larger than the largest texture, "},
      {"sound cut short", "sounds/boom.wav",
       testenv::readFile(resourcesPath() / "sounds/boom.wav").substr(0, 100), captured, 0,
       sound + "boom.wav: the file is shorter than its header says\n"},
      {"no sounds", "sounds", "", captured, 0, sound + "guns.wav: cannot be opened\n"},
      // With descriptor 1 closed, the X connection would take it and carry the messages.
      {"closed, image missing", "num5.bmp", "", StandardOutput::closed, 1, ""},
      {"closed, mesh missing", "Tank.m", "", StandardOutput::closed, 0, ""},
      // Writing to a pipe without a reader must not end the game with SIGPIPE.
      {"broken pipe, image missing", "help_mask.bmp", "", StandardOutput::brokenPipe, 1, ""},
      {"broken pipe, mesh missing", "cessna500.m", "", StandardOutput::brokenPipe, 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    VirtualScreen screen;
    ASSERT_TRUE(screen.ok());
    testenv::TempDir dir;
    fs::copy(resourcesPath(), dir / "Resources", fs::copy_options::recursive);
    if (c.bytes.empty())
      fs::remove_all(dir / "Resources" / c.file);
    else
      testenv::writeFile(dir / "Resources" / c.file, c.bytes);
    GameProcess game(screen.name(), dir.path(), 60.0, binaryPath(), {{}, {}, c.output});
    if (c.status == 0) {
      ASSERT_TRUE(game.waitForWindow()) << game.output();
      game.key("n");
      game.keyDown("a");
      game.settle(0.3);
      game.keyUp("a");
      EXPECT_TRUE(game.running());
      game.key("q");
    }
    EXPECT_EQ(game.waitForExit(50.0), c.status) << game.output();
    if (c.output != StandardOutput::captured) continue;
    const std::string& out = game.output();
    const std::size_t at = out.find(c.message);
    EXPECT_NE(at, std::string::npos) << out;
    // Nothing is loaded after a failed image, not even the sounds.
    EXPECT_TRUE(c.status == 0 || out.find("Trying to load", at + 1) == std::string::npos) << out;
    // One line for the first sound that fails, none before the images are all in.
    const std::size_t said = c.message.starts_with("brambleshot:") ? at : std::string::npos;
    EXPECT_EQ(out.find("brambleshot:"), said) << out;
    EXPECT_EQ(out.rfind("brambleshot:"), said) << out;
  }
}

}  // namespace
}  // namespace e2e
