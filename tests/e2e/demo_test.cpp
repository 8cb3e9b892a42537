// Demos with the real game: a game recorded by hand and ended by closing the window replays to
// the same world and the same last picture, and an edited one diverges where the edit is;
// special files are refused; a replay stopped early says so; recordings killed at any instant,
// or whose X server dies, replay to their last frame.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
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

constexpr int kStopped = 5;  // the exit status of a replay stopped before its end

int wholeFramesIn(const std::string& text);

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

// Refusals before any window: demo files that are not regular files, and answers that cannot be
// written. Each is quick, says one line on standard error and exits 2.
TEST(Demos, SpecialFilesAndUnwritableAnswersAreRefusedAtOnce) {
  testenv::TempDir dir;
  const std::string fifo = (dir / "fifo").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    std::string command;  // run by sh with the game as $0
    std::string says;
  } cases[] = {
      {"\"$0\" --play " + fifo, "fifo: is a FIFO, not a regular file"},
      {"\"$0\" --record " + fifo, "fifo: is a FIFO, not a regular file"},
      {"\"$0\" --record /dev/stdout", "/dev/stdout: is a FIFO, not a regular file"},
      {"\"$0\" --record " + (dir / "out").string() + " >" + (dir / "out").string(),
       "is where the game's own messages go"},
      {"\"$0\" --play " + dir.path().string(), "is a directory, not a regular file"},
      {"\"$0\" --help >/dev/full", "cannot write the answer: No space left on device"},
      {"\"$0\" --version >/dev/full", "cannot write the answer: No space left on device"},
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

// q and the window's close stop a replay at once, even in a long run of idle lines, with
// status 5 and one line saying where: a stopped replay never passes for a checked one.
TEST(Demos, AReplayStoppedBeforeItsEndSaysSo) {
  VirtualScreen screen;
  ASSERT_TRUE(screen.ok()) << "Xvfb did not start";
  testenv::TempDir dir;
  const std::string committed = BRAMBLESHOT_SOURCE_DIR "/tests/demo/games/gameover.demo";
  // Two frames, then 4000 idle lines (20 s of replay) before a third.
  const std::string text = testenv::readFile(committed);
  const std::size_t third = text.find("\nframe 3 ") + 1;
  const std::string idling = (dir / "idling.demo").string();
  std::string idles;
  for (int i = 0; i < 4000; ++i)
    idles += "idle\n";
  testenv::writeFile(idling, text.substr(0, text.find("\nidle\n", text.find("\nframe 2 ")) + 1) +
                                 idles + text.substr(third, text.find('\n', third) + 1 - third));
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
    EXPECT_EQ(replay.waitForExit(1.5), kStopped) << replay.output();
    EXPECT_PRED_FORMAT2(testing::IsSubstring, c.says, replay.output());
    EXPECT_EQ(replay.output().find("replayed exactly"), std::string::npos) << replay.output();
  }
}

// A recording past a file-size limit (as on a full disk): the game goes on after one line on
// standard error, q ends it with status 4, and the demo stops at its last whole frame.
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
  EXPECT_LE(text.size(), 2048u);
  const int frames = wholeFramesIn(text);
  EXPECT_PRED_FORMAT2(testing::IsSubstring,
                      "the demo stops at frame " + std::to_string(frames) + ", the game goes on",
                      game.output());
}

// The frames in a demo file whose every line is whole and which ends after its last frame (or
// its header), as a killed recording must; -1 otherwise.
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
  constexpr int kKills = 200;
  for (int i = 0; i < kKills && !HasFatalFailure(); ++i) {
    const std::string demo = (dir / "k").string() + std::to_string(i) + ".demo";
    {
      GameProcess game(screen.name(), BRAMBLESHOT_SOURCE_DIR, 60.0, binaryPath(),
                       {{"--record", demo, "--window", "400x300"}, {}});
      const auto found = std::chrono::steady_clock::now() + std::chrono::seconds(30);
      while (!game.findWindow() && game.running() && std::chrono::steady_clock::now() < found)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      ASSERT_TRUE(game.running()) << game.output();
      const auto kill =
          std::chrono::steady_clock::now() + std::chrono::milliseconds(between(50, 600));
      while (std::chrono::steady_clock::now() < kill) {
        const int action = between(0, 9);
        if (action < 5) {
          game.movePointer(between(0, 390), between(0, 290));
        } else if (action < 8) {
          game.key(keys[between(0, 6)]);
        } else {
          game.button(1, action == 8);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(between(0, 15)));
      }
      // Half the kills come right after a burst of 400 motions (6 KB of lines) sent at once,
      // so that many reach the game between two of its frames.
      if (between(0, 1)) {
        for (int j = 0; j < 400; ++j)
          XTestFakeMotionEvent(burst, -1, between(0, 390), between(0, 290), 0);
        XSync(burst, False);
      }
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

// The process number of a child of this test with the given command name; -1 if none.
pid_t childNamed(const std::string& name) {
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    if (!std::isdigit(static_cast<unsigned char>(entry.path().filename().string()[0]))) continue;
    const std::string stat = testenv::readFile(entry.path() / "stat");
    const std::size_t open = stat.find(" ("), close = stat.rfind(") ");
    if (open == std::string::npos || close == std::string::npos) continue;
    int parent = 0;
    if (stat.substr(open + 2, close - open - 2) == name &&
        std::sscanf(stat.c_str() + close + 2, "%*c %d", &parent) == 1 && parent == getpid())
      return std::stoi(stat);
  }
  return -1;
}

// The X server dies while a game records: the game draws nothing more, says one line and exits
// with status 6, and its demo replays exactly up to its last frame on another server.
TEST(Demos, TheXServerDyingWhileRecordingLeavesAReplayableDemo) {
  testenv::TempDir dir;
  const std::string demo = (dir / "x.demo").string();
  const std::string said = (dir / "said").string();
  pid_t game = -1;
  {
    VirtualScreen doomed;
    ASSERT_TRUE(doomed.ok()) << "Xvfb did not start";
    // Started without the driver: its own X connection would end this test when the server
    // dies. The input comes from a short-lived child that has gone by then.
    game = fork();
    if (game == 0) {
      const int out = open(said.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      dup2(out, STDOUT_FILENO);
      dup2(out, STDERR_FILENO);
      if (chdir(BRAMBLESHOT_SOURCE_DIR) != 0) _exit(126);
      setenv("DISPLAY", doomed.name().c_str(), 1);
      setenv("ALSOFT_DRIVERS", "null", 1);
      setenv("XDG_DATA_HOME", dir.path().c_str(), 1);
      execl(binaryPath().c_str(), "brambleshot", "--record", demo.c_str(), "--window", "400x300",
            static_cast<char*>(nullptr));
      _exit(127);
    }
    const auto started = std::chrono::steady_clock::now();
    while (wholeFramesIn(testenv::readFile(demo)) < 20 &&
           std::chrono::steady_clock::now() - started < std::chrono::seconds(30))
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const pid_t player = fork();
    if (player == 0) {
      Display* display = XOpenDisplay(doomed.name().c_str());
      if (!display) _exit(1);
      XTestFakeMotionEvent(display, -1, 200, 100, 0);
      for (const KeySym key : {XK_n, XK_space, XK_a, XK_a}) {
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), True, 0);
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), False, 0);
      }
      XTestFakeButtonEvent(display, 1, True, 0);
      XCloseDisplay(display);
      _exit(0);
    }
    waitpid(player, nullptr, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    // The doomed server is this test's only Xvfb child so far.
    const pid_t server = childNamed("Xvfb");
    ASSERT_GT(server, 0);
    ASSERT_EQ(kill(server, SIGKILL), 0);
    waitpid(server, nullptr, 0);
    unlink(("/tmp/.X11-unix/X" + doomed.name().substr(1)).c_str());  // what it leaves behind
  }
  int status = 0;
  for (int i = 0; i < 500 && waitpid(game, &status, WNOHANG) == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  if (kill(game, 0) == 0) {
    kill(game, SIGKILL);
    waitpid(game, &status, 0);
    FAIL() << "the game lives on without its display";
  }
  const std::string output = testenv::readFile(said);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status) << "\n" << output;
  EXPECT_EQ(WEXITSTATUS(status), 6) << output;
  const int frames = wholeFramesIn(testenv::readFile(demo));
  ASSERT_GT(frames, 20);
  EXPECT_PRED_FORMAT2(testing::IsSubstring,
                      "brambleshot: the X display is gone; the demo " + demo + " ends at frame " +
                          std::to_string(frames) + "\n",
                      output);
  EXPECT_NE(testenv::readFile(demo).find("\nkey 110 "), std::string::npos) << "no input recorded";
  VirtualScreen screen;
  ASSERT_TRUE(screen.ok());
  GameProcess replay(screen.name(), BRAMBLESHOT_SOURCE_DIR, 120.0, binaryPath(),
                     {{"--play", demo, "--fast"}, {}});
  expectReplaysToItsEnd(replay, frames, demo);
}

}  // namespace
}  // namespace e2e
