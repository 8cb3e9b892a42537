// The real game's sound from the outside: without its sound files it plays on after one line on
// standard error, and the mute state (--mute, the m key) shows as a mark on the panel.
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

// The red cross of the mute mark, right of the speaker, below the escapes.
constexpr Box kMuteCross = panelBox(-0.55, 6.4, 0.35, 0.6);

int redPixels(const Picture& p, const Box& box) {
  return p.count(box.x0, box.y0, box.x1, box.y1,
                 [](const Rgb& c) { return c.r > 150 && c.g < 110 && c.b < 110; });
}

int count(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++n;
  return n;
}

TEST(Sound, WithoutItsFilesTheGamePlaysOnAfterOneLine) {
  VirtualScreen screen;
  ASSERT_TRUE(screen.ok());
  testenv::TempDir dir;
  fs::copy(resourcesPath(), dir / "Resources", fs::copy_options::recursive);
  const std::string boom = (dir / "Resources/sounds/boom.wav").string();
  testenv::writeFile(boom, testenv::readFile(boom).substr(0, 100));  // cut short
  fs::remove(dir / "Resources/sounds/tank.wav");
  const struct {
    const char* line;
  } cases[] = {
      {"brambleshot: playing without sound: ./Resources/sounds/boom.wav: the file is shorter "
       "than its header says\n"},
      {"brambleshot: playing without sound: ./Resources/sounds/guns.wav: cannot be opened\n"},
  };
  for (const auto& c : cases) {
    GameProcess game(screen.name(), dir.path(), 60.0);
    ASSERT_TRUE(game.waitForWindow()) << game.output();
    game.key("n");
    game.settle(0.5);
    EXPECT_TRUE(game.running());
    game.key("q");
    EXPECT_EQ(game.waitForExit(20.0), 0);
    EXPECT_EQ(count(game.output(), "brambleshot:"), 1) << game.output();
    EXPECT_NE(game.output().find(c.line), std::string::npos) << game.output();
    fs::remove_all(dir / "Resources/sounds");  // the second run: no sounds at all
  }
  // A missing image still stops start-up, before the sound is looked at.
  fs::remove(dir / "Resources/help.bmp");
  GameProcess game(screen.name(), dir.path(), 60.0);
  EXPECT_EQ(game.waitForExit(50.0), 1);
  EXPECT_EQ(game.output().find("brambleshot:"), std::string::npos) << game.output();
}

TEST(Sound, MuteShowsAMarkOnThePanel) {
  VirtualScreen screen;
  ASSERT_TRUE(screen.ok());
  GameProcess game(screen.name(), fs::current_path(), 60.0, binaryPath(),
                   {.args = {"--mute"}, .environment = {}});
  ASSERT_TRUE(game.waitForWindow()) << game.output();
  const auto marked = [](const Picture& p) { return redPixels(p, kMuteCross) > 20; };
  EXPECT_FALSE(game.waitForPicture(marked).empty());
  game.key("m");
  EXPECT_FALSE(game.waitForPicture([&](const Picture& p) { return !marked(p); }).empty());
  game.key("m");
  EXPECT_FALSE(game.waitForPicture(marked).empty());
  game.key("q");
  EXPECT_EQ(game.waitForExit(20.0), 0);
}

}  // namespace
}  // namespace e2e
