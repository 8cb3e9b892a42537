// The real game played by the scripted virtual pad under Xvfb while recording a demo: driving,
// aiming, guns, cannon, new game, mute, pause (read on the timer) and the help page, each
// reaching the demo as its key or button event; the demo then replays exactly in the plain game,
// with no pad at all.
#include <gtest/gtest.h>

#include <string>

#include "support/test_util.h"

#include "game_driver.h"

namespace {

using driver::GameProcess;

TEST(PadScript, AScriptedPadPlaysTheRealGameAndItsDemoReplaysWithoutAPad) {
  driver::VirtualScreen screen;
  ASSERT_TRUE(screen.ok()) << "Xvfb did not start";
  testenv::TempDir dir;
  const std::string demo = (dir / "pad.demo").string();
  {
    GameProcess game(screen.name(), BRAMBLESHOT_SOURCE_DIR, 120.0, PADSCRIPT_BINARY,
                     {{"--record", demo}, {"BRAMBLESHOT_PAD_SCRIPT=1"}});
    ASSERT_TRUE(game.waitForWindow()) << game.output();
    for (int i = 0; i < 200 && game.output().find("pad script done") == std::string::npos; ++i)
      game.settle(0.1);
    ASSERT_NE(game.output().find("pad script done"), std::string::npos) << game.output();
    EXPECT_NE(game.output().find("brambleshot: gamepad connected: Scripted pad\n"),
              std::string::npos)
        << game.output();
    game.key("q");
    ASSERT_EQ(game.waitForExit(30.0), 0) << game.output();
  }
  // Keys by their bytes: n, a, d, space, m, then p and h twice each; the guns as button 0.
  const std::string text = testenv::readFile(demo);
  std::size_t at = 0;
  for (const char* line :
       {"\nkey 110 ", "\nkey 97 ", "\nkey 100 ", "\nmotion ", "\nbutton 0 0 ", "\nbutton 0 1 ",
        "\nkey 32 ", "\nkey 109 ", "\nkey 112 ", "\nkey 112 ", "\nkey 104 ", "\nkey 104 "}) {
    at = text.find(line, at + 1);
    ASSERT_NE(at, std::string::npos) << line << " in order";
  }

  GameProcess replay(screen.name(), BRAMBLESHOT_SOURCE_DIR, 120.0, driver::binaryPath(),
                     {{"--play", demo, "--fast"}, {}});
  EXPECT_EQ(replay.waitForExit(110.0), 0) << replay.output();
  EXPECT_NE(replay.output().find("frames replayed exactly"), std::string::npos) << replay.output();
  EXPECT_EQ(replay.output().find("gamepad"), std::string::npos) << replay.output();
}

}  // namespace
