// Demos with the real game: recorded, replayed, edited, refused, stopped early, cut short by a
// kill, a full disk or the death of the X server.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <thread>

#include "e2e/screen_layout.h"
#include "support/test_util.h"

// After GoogleTest: Xlib's macros would break its headers.
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace e2e {
namespace {

// The frames in a demo that ends with a whole frame line (or its header); -1 otherwise.
int wholeFramesIn(const std::string& text) {
  if (text.empty() || text.back() != '\n') return -1;
  const std::size_t last = text.rfind('\n', text.size() - 2) + 1;
  if (text.compare(last, 6, "frame ") != 0 && text.compare(last, 7, "window ") != 0) return -1;
  int frames = 0;
  for (std::size_t at = text.find("\nframe "); at != std::string::npos;
       at = text.find("\nframe ", at + 1))
    ++frames;
  return frames;
}

// The replay of a demo cut short runs to its last frame exactly and says it stopped there.
void expectReplaysToItsEnd(GameProcess& replay, int frames, const std::string& demo) {
  SCOPED_TRACE(demo);
  EXPECT_EQ(replay.waitForExit(60.0), 0) << replay.output();
  EXPECT_PRED_FORMAT2(testing::IsSubstring,
                      ": " + std::to_string(frames) + " frames replayed exactly", replay.output());
  EXPECT_PRED_FORMAT2(testing::IsSubstring, "the recording stopped there", replay.output());
}

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

// Refusals before any window, quick, in one line on standard error, with status 2.
TEST(Demos, SpecialFilesAndUnwritableAnswersAreRefusedAtOnce) {
  testenv::TempDir dir;
  const std::string fifo = (dir / "fifo").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    std::string command;  // run by sh with the game as $0
    std::string says;
  } cases[] = {
      {"\"$0\" --play " + fifo, "fifo: is a FIFO, not a regular file"},
      {"\"$0\" --record out >out", "is where the game's own messages go"},
      {"\"$0\" --help >/dev/full", "cannot write the answer: No space left on device"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    const auto start = std::chrono::steady_clock::now();
    const testenv::ProcessResult result = testenv::runProcess(
        "/bin/sh", {"-c", "exec 2>&1; " + c.command + "; exit $?", binaryPath().string()},
        dir.path(), 10);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(result.exitCode, 2) << result.output;
    EXPECT_PRED_FORMAT2(testing::IsSubstring, c.says, result.output);
    EXPECT_EQ(std::count(result.output.begin(), result.output.end(), '\n'), 1) << result.output;
  }
}

// q and the window's close stop a replay at once, even amid a long run of idle lines, with
// status 5 and one line saying where: a stopped replay never passes for a checked one.
TEST(Demos, AReplayStoppedBeforeItsEndSaysSo) {
  VirtualScreen screen;
  ASSERT_TRUE(screen.ok()) << "Xvfb did not start";
  testenv::TempDir dir;
  const std::string committed = BRAMBLESHOT_SOURCE_DIR "/tests/demo/games/gameover.demo";
  // Two frames, then 4000 idle lines (20 s of replay) before a third.
  const std::string text = testenv::readFile(committed);
  const std::size_t third = text.find("\nframe 3 ") + 1;
  std::string idles = text.substr(0, text.find("\nidle\n", text.find("\nframe 2 ")) + 1);
  for (int i = 0; i < 4000; ++i)
    idles += "idle\n";
  const std::string idling = (dir / "idling.demo").string();
  testenv::writeFile(idling, idles + text.substr(third, text.find('\n', third) + 1 - third));
  const struct {
    std::string demo;
    bool byKey;
    std::string says;
  } cases[] = {
      {committed, true, "(q pressed), so it is not checked to its end"},
      {committed, false, "(the window closed), so it is not checked to its end"},
      {idling, false, "the replay was stopped at frame 2 of 3 (the window closed)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.says);
    GameProcess replay(screen.name(), BRAMBLESHOT_SOURCE_DIR, 60.0, binaryPath(),
                       {{"--play", c.demo}, {}});
    ASSERT_TRUE(replay.waitForWindow()) << replay.output();
    replay.settle(0.3);
    c.byKey ? replay.key("q") : replay.closeWindow();
    EXPECT_EQ(replay.waitForExit(1.5), 5) << replay.output();
    EXPECT_PRED_FORMAT2(testing::IsSubstring, c.says, replay.output());
    EXPECT_EQ(replay.output().find("replayed exactly"), std::string::npos) << replay.output();
  }
}

// Past a file-size limit (as on a full disk) the game goes on after one line on standard error,
// q ends it with status 4, and the demo stops at its last whole frame.
TEST(Demos, ARecordingThatCannotBeWrittenEndsWithStatus4) {
  VirtualScreen screen;
  ASSERT_TRUE(screen.ok()) << "Xvfb did not start";
  testenv::TempDir dir;
  const std::string demo = (dir / "limited.demo").string();
  GameProcess game(screen.name(), BRAMBLESHOT_SOURCE_DIR, 60.0, "/bin/sh",
                   {{"-c", "ulimit -f 4; exec \"$0\" --record \"$1\" --window 400x300",
                     binaryPath().string(), demo},
                    {}});
  ASSERT_TRUE(game.waitForWindow()) << game.output();
  game.key("n");
  for (int i = 0; i < 200 && game.output().find("cannot write") == std::string::npos; ++i) {
    game.movePointer(50 + i, 100);
    game.settle(0.05);
  }
  ASSERT_PRED_FORMAT2(testing::IsSubstring, "limited.demo: cannot write the demo: ", game.output());
  game.settle();
  ASSERT_TRUE(game.running()) << "the game goes on";
  game.key("q");
  EXPECT_EQ(game.waitForExit(10.0), 4) << game.output();
  const std::string text = testenv::readFile(demo);
  const int frames = wholeFramesIn(text);
  EXPECT_PRED_FORMAT2(testing::IsSubstring,
                      "the demo stops at frame " + std::to_string(frames) + ", the game goes on",
                      game.output());
}

// Recordings killed at random instants amid random play (bursts of input included) each leave
// a demo that replays exactly up to its last frame. Each replay runs beside the next recording,
// its window out of the way.
TEST(Demos, RecordingsKilledAtAnyInstantReplayToTheirLastFrame) {
  VirtualScreen screen;
  ASSERT_TRUE(screen.ok()) << "Xvfb did not start";
  testenv::TempDir dir;
  std::mt19937 random(20261208);
  auto between = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  const char* const keys[] = {"n", "space", "a", "d", "p", "h", "m"};
  Display* burst = XOpenDisplay(screen.name().c_str());
  ASSERT_NE(burst, nullptr);
  std::unique_ptr<GameProcess> replay;
  int replayFrames = 0;
  std::string replayDemo;
  for (int i = 0; i < 200 && !HasFatalFailure(); ++i) {
    const std::string demo = (dir / "k").string() + std::to_string(i) + ".demo";
    {
      GameProcess game(screen.name(), BRAMBLESHOT_SOURCE_DIR, 60.0, binaryPath(),
                       {{"--record", demo, "--window", "400x300"}, {}});
      using Clock = std::chrono::steady_clock;
      for (const auto until = Clock::now() + std::chrono::seconds(30);
           !game.findWindow() && game.running() && Clock::now() < until;)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      ASSERT_TRUE(game.running()) << game.output();
      for (const auto kill = Clock::now() + std::chrono::milliseconds(between(50, 600));
           Clock::now() < kill;) {
        const int action = between(0, 9);
        if (action < 5) game.movePointer(between(0, 390), between(0, 290));
        if (action >= 5 && action < 8) game.key(keys[between(0, 6)]);
        if (action >= 8) game.button(1, action == 8);
        std::this_thread::sleep_for(std::chrono::milliseconds(between(0, 15)));
      }
      // Half the kills follow a burst of 400 motions (6 KB of lines) sent at once, so that many
      // reach the game between two of its frames.
      for (int j = between(0, 1) * 400; j > 0; --j)
        XTestFakeMotionEvent(burst, -1, between(0, 390), between(0, 290), 0);
      XSync(burst, False);
      game.sendSignal(SIGKILL);
      ASSERT_EQ(game.waitForExit(10.0), -1) << "not killed: " << game.output();
    }
    const std::string text = testenv::readFile(demo);
    const int frames = wholeFramesIn(text);
    ASSERT_GE(frames, 0) << demo << " ends amid a frame:\n" << text.substr(text.size() - 200);
    if (replay) expectReplaysToItsEnd(*replay, replayFrames, replayDemo);
    replay = std::make_unique<GameProcess>(
        screen.name(), BRAMBLESHOT_SOURCE_DIR, 120.0, binaryPath(),
        Launch{{"--play", demo, "--fast", "-geometry", "+500+400"}, {}});
    replayFrames = frames;
    replayDemo = demo;
  }
  if (replay) expectReplaysToItsEnd(*replay, replayFrames, replayDemo);
  XCloseDisplay(burst);
}

// The X server dies while a game records: the game says one line and exits with status 6, and
// its demo replays exactly up to its last frame.
TEST(Demos, TheXServerDyingWhileRecordingLeavesAReplayableDemo) {
  auto doomed = std::make_unique<VirtualScreen>();
  pid_t server = -1;  // the doomed server's process, so far this test's only Xvfb child
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    if (!std::isdigit(entry.path().filename().string()[0])) continue;
    int pid = 0, parent = 0;
    char name[16] = {};
    if (std::sscanf(testenv::readFile(entry.path() / "stat").c_str(), "%d (%15[^)]) %*c %d", &pid,
                    name, &parent) == 3 &&
        parent == getpid() && std::string(name) == "Xvfb")
      server = pid;
  }
  VirtualScreen screen;
  ASSERT_TRUE(screen.ok() && doomed->ok() && server > 0) << "Xvfb did not start";
  testenv::TempDir dir;
  const std::string demo = (dir / "x.demo").string();
  // The game plays on the doomed server; the driver's own connection stays on the other one,
  // which outlives it.
  GameProcess game(screen.name(), BRAMBLESHOT_SOURCE_DIR, 60.0, "/bin/sh",
                   {{"-c", "DISPLAY=$2 exec \"$0\" --record \"$1\" --window 400x300",
                     binaryPath().string(), demo, doomed->name()},
                    {}});
  for (int i = 0; i < 1500 && wholeFramesIn(testenv::readFile(demo)) < 20; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  // Some play, through a connection closed before the server goes.
  Display* display = XOpenDisplay(doomed->name().c_str());
  ASSERT_NE(display, nullptr);
  XTestFakeMotionEvent(display, -1, 200, 100, 0);
  for (const KeySym key : {XK_n, XK_space, XK_a, XK_a}) {
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), True, 0);
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), False, 0);
  }
  XTestFakeButtonEvent(display, 1, True, 0);
  XCloseDisplay(display);
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  const std::string number = doomed->name().substr(1);
  ASSERT_EQ(kill(server, SIGKILL), 0);
  doomed.reset();
  unlink(("/tmp/.X11-unix/X" + number).c_str());  // what a killed server leaves behind
  EXPECT_EQ(game.waitForExit(10.0), 6) << game.output();
  const std::string text = testenv::readFile(demo);
  const int frames = wholeFramesIn(text);
  ASSERT_GT(frames, 20);
  EXPECT_PRED_FORMAT2(testing::IsSubstring,
                      "brambleshot: the X display is gone; the demo " + demo + " ends at frame " +
                          std::to_string(frames) + "\n",
                      game.output());
  EXPECT_NE(text.find("\nkey 110 "), std::string::npos) << "no input recorded";
  GameProcess replay(screen.name(), BRAMBLESHOT_SOURCE_DIR, 120.0, binaryPath(),
                     {{"--play", demo, "--fast"}, {}});
  expectReplaysToItsEnd(replay, frames, demo);
}

}  // namespace
}  // namespace e2e
