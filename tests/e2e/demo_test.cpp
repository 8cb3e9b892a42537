// Demos with the real game: a game recorded by hand replays to the same world and the same last
// picture; a hand-edited demo is refused or diverges at the edited frame; a recording cut short
// still replays up to where it stopped.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "game_driver.h"
#include "support/test_util.h"

namespace e2e {

using namespace driver;
namespace {

class Demos : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(screen.ok()) << "Xvfb did not start"; }

  // Runs the game with args to its end; returns its exit status and keeps its output.
  int run(const std::vector<std::string>& args) {
    GameProcess game(screen.name(), BRAMBLESHOT_SOURCE_DIR, 120.0, binaryPath(), {args, {}});
    const int status = game.waitForExit(110.0);
    output = game.output();
    return status;
  }
  int replay(const std::string& text) {
    testenv::writeFile(dir / "edited.demo", text);
    return run({"--play", (dir / "edited.demo").string(), "--fast"});
  }

  VirtualScreen screen;
  testenv::TempDir dir;
  std::string output;
};

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += line + "\n";
  return text;
}

TEST_F(Demos, AGameRecordedByHandReplaysExactlyAndEditsAreCaught) {
  const std::string demo = (dir / "hand.demo").string();
  {
    GameProcess game(screen.name(), BRAMBLESHOT_SOURCE_DIR, 120.0, binaryPath(),
                     {{"--record", demo}, {}});
    ASSERT_TRUE(game.waitForWindow()) << game.output();
    game.key("n");
    game.movePointer(500, 150);
    game.button(1, true);
    game.settle();
    game.key("space");
    for (int i = 0; i < 5; ++i)
      game.key("a");
    game.movePointer(300, 200);
    game.key("h");  // the help page, paused
    game.movePointer(320, 210);
    game.key("h");
    game.button(1, false);
    game.settle();
    game.key("q");
    ASSERT_EQ(game.waitForExit(30.0), 0) << game.output();
  }
  EXPECT_EQ(run({"--play", demo, "--fast"}), 0) << output;
  EXPECT_NE(output.find("frames replayed exactly"), std::string::npos) << output;
  EXPECT_EQ(output.find("not compared"), std::string::npos) << output;

  // The pointer moved elsewhere: the world differs from the frame after the edit on.
  const std::vector<std::string> lines = linesOf(testenv::readFile(demo));
  ASSERT_EQ(lines.back().rfind("end ", 0), 0u);
  // The last pointer motion (always followed by a frame, if only q's).
  int frames = 0;
  std::size_t motion = 0;
  int framesBeforeMotion = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].rfind("frame ", 0) == 0) ++frames;
    if (lines[i].rfind("motion ", 0) == 0) {
      motion = i;
      framesBeforeMotion = frames;
    }
  }
  ASSERT_GT(motion, 0u);
  std::vector<std::string> edited = lines;
  edited[motion] = "motion 123 456";
  EXPECT_EQ(replay(joined(edited)), 3);
  EXPECT_NE(output.find("edited.demo: the replay diverged at frame " +
                        std::to_string(framesBeforeMotion + 1) + " of "),
            std::string::npos)
      << output;

  // A changed key is refused as soon as it is read, before any window opens.
  edited = lines;
  edited[motion] = "key 97 1 2 3";
  EXPECT_EQ(replay(joined(edited)), 2);
  EXPECT_NE(output.find("edited.demo:" + std::to_string(motion + 1) + ": 'key' takes 3 values"),
            std::string::npos)
      << output;

  // A different last picture is a divergence too.
  edited = lines;
  edited.back().replace(edited.back().size() - 4, 4, "beef");
  EXPECT_EQ(replay(joined(edited)), 3);
  EXPECT_NE(output.find("the last picture (frame"), std::string::npos) << output;
}

TEST_F(Demos, ClosingTheWindowCompletesTheRecording) {
  const std::string demo = (dir / "closed.demo").string();
  {
    GameProcess game(screen.name(), BRAMBLESHOT_SOURCE_DIR, 120.0, binaryPath(),
                     {{"--record", demo}, {}});
    ASSERT_TRUE(game.waitForWindow()) << game.output();
    game.key("n");
    game.settle();
    game.closeWindow();
    ASSERT_EQ(game.waitForExit(30.0), 0) << game.output();
  }
  EXPECT_EQ(linesOf(testenv::readFile(demo)).back().rfind("end ", 0), 0u);
  EXPECT_EQ(run({"--play", demo, "--fast"}), 0) << output;
  EXPECT_EQ(output.find("not compared"), std::string::npos) << output;
}

TEST_F(Demos, ARecordingCutShortReplaysUpToWhereItStopped) {
  const std::string demo = (dir / "killed.demo").string();
  {
    GameProcess game(screen.name(), BRAMBLESHOT_SOURCE_DIR, 120.0, binaryPath(),
                     {{"--record", demo}, {}});
    ASSERT_TRUE(game.waitForWindow()) << game.output();
    game.key("n");
    game.movePointer(400, 100);
    game.settle();
  }  // killed
  EXPECT_EQ(run({"--play", demo, "--fast"}), 0) << output;
  EXPECT_NE(output.find("frames replayed exactly"), std::string::npos) << output;
  EXPECT_NE(output.find("the recording stopped there"), std::string::npos) << output;
}

}  // namespace
}  // namespace e2e
