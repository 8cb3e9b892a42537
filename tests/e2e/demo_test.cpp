// Demos with the real game: a game recorded by hand and ended by closing the window replays to
// the same world and the same last picture, and an edited one diverges where the edit is (the
// install test replays a recording cut short by a kill).
#include <gtest/gtest.h>

#include <string>

#include "e2e/screen_layout.h"
#include "support/test_util.h"

namespace e2e {
namespace {

TEST(Demos, AGameRecordedByHandReplaysExactlyAndEditsDiverge) {
  VirtualScreen screen;
  ASSERT_TRUE(screen.ok()) << "Xvfb did not start";
  testenv::TempDir dir;
  std::string output;
  // Replays the demo to its end; returns the exit status and keeps the output.
  const auto replay = [&](const std::string& demo) {
    GameProcess game(screen.name(), BRAMBLESHOT_SOURCE_DIR, 120.0, binaryPath(),
                     {{"--play", demo, "--fast"}, {}});
    const int status = game.waitForExit(110.0);
    output = game.output();
    return status;
  };
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
    game.closeWindow();  // as a window manager's close button does: the recording is complete
    ASSERT_EQ(game.waitForExit(30.0), 0) << game.output();
  }
  EXPECT_EQ(replay(demo), 0) << output;
  EXPECT_NE(output.find("frames replayed exactly"), std::string::npos) << output;
  EXPECT_EQ(output.find("not compared"), std::string::npos) << output;
  EXPECT_EQ(output.find("stopped there"), std::string::npos) << output;

  // The last pointer motion moved elsewhere (it is always followed by a frame, if only q's):
  // the world differs from the next frame on. A changed last picture is a divergence too.
  const std::string text = testenv::readFile(demo);
  const std::size_t motion = text.rfind("\nmotion ") + 1;
  const std::size_t motionEnd = text.find('\n', motion);
  const int frame = std::stoi(text.substr(text.rfind("\nframe ", motion) + 7)) + 1;
  ASSERT_EQ(text.find('\n', text.rfind("\nend ") + 1), text.size() - 1) << "no end line";
  const std::string edited = (dir / "edited.demo").string();
  testenv::writeFile(edited, text.substr(0, motion) + "motion 123 456" + text.substr(motionEnd));
  EXPECT_EQ(replay(edited), 3);
  EXPECT_PRED_FORMAT2(testing::IsSubstring,
                      "edited.demo: the replay diverged at frame " + std::to_string(frame) + " of ",
                      output);
  testenv::writeFile(edited, text.substr(0, text.size() - 5) + "beef\n");
  EXPECT_EQ(replay(edited), 3);
  EXPECT_NE(output.find("the last picture (frame"), std::string::npos) << output;
}

}  // namespace
}  // namespace e2e
