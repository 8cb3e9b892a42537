// Demo files: damage is refused naming the line at fault, files that cannot be read or written
// are named, and the writer leaves whole frames whatever happens to its writes.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "demo/demo.h"
#include "support/test_util.h"

namespace {

using namespace brambleshot;

const std::string kHeader = "brambleshot-demo 1\ngame 1.0.0\nseed 7\nwindow 800 600\n";
const std::string kTwoFrames =
    kHeader + "idle\nframe 1 0000000000000001\nkey 97 10 20\nframe 2 00000000000000ff\n";

TEST(DemoFile, DamageIsRefusedNamingTheLine) {
  const std::pair<std::string, std::string> cases[] = {
      {"", "d.demo:1: empty file"},
      {"PK\x03\x04 zip\n", "d.demo:1: not a Brambleshot demo"},
      {"brambleshot-demo 2\ngame 9\nseed 1\nwindow 800 600\n",
       "d.demo:1: demo format version 2; this game reads version 1"},
      {"brambleshot-demo 1\ngame 1.0.0\n", "d.demo:3: truncated: the header has no seed line"},
      {kTwoFrames + "frame 3 00000000", "d.demo:9: truncated: the last line has no end"},
      {kHeader + "window 800 600\n", "d.demo:5: unknown event 'window'"},
      {"brambleshot-demo 1\ngame 1.0.0\nseed -1\nwindow 800 600\n", "d.demo:3: expected 'seed"},
      {"brambleshot-demo 1\ngame 1.0.0\nseed 1\nwindow 800 20\n", "d.demo:4: expected 'window"},
      {kHeader + "frame 2 0000000000000001\n", "d.demo:5: 'frame' should count 1 frames"},
      {kHeader + "frame 1 000000000000000G\n", "d.demo:5: bad checksum"},
      {kHeader + "key 256 0 0\n", "d.demo:5: bad key '256'"},
      {kHeader + "key 113 0 0\n", "d.demo:5: key 113 (q) is never recorded"},
      {kHeader + "button 0 2 0 0\n", "d.demo:5: bad button state '2'"},
      {kHeader + "motion 99999999999 0\n", "d.demo:5: bad pointer x"},
      {kHeader + "reshape 800 -1\n", "d.demo:5: bad height"},
      {kHeader + "idle  \n", "d.demo:5: malformed line"},
      {kHeader + std::string("id\0le\x1b\n", 7), "d.demo:5: unknown event 'id\\x00le\\x1b'"},
      {kTwoFrames + "end 1 0000000000000000\n", "d.demo:9: 'end' should count 2 frames"},
      {kTwoFrames + "end 2 0000000000000000\nidle\n", "d.demo:10: nothing may follow"},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    Demo demo;
    std::string error;
    EXPECT_FALSE(parseDemo(text, "d.demo", demo, error));
    EXPECT_EQ(error.rfind(expected, 0), 0u) << error;
  }
}

// Only regular files are demos: the others are refused at once, without waiting for a FIFO's
// other end, and a name that leads nowhere is named with the reason.
TEST(DemoFile, OnlyRegularFilesAreReadOrWritten) {
  testenv::TempDir dir;
  const std::string fifo = (dir / "fifo").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    std::string path;
    std::string reading, writing;  // what loadDemo and DemoWriter::open say
  } cases[] = {
      {(dir / "missing.demo").string(), "missing.demo: cannot open: No such file or directory", ""},
      {(dir / "no/such/dir.demo").string(), "dir.demo: cannot open: No such file or directory",
       "dir.demo: cannot write the demo: No such file or directory"},
      {dir.path().string(), ": is a directory, not a regular file",
       ": is a directory, not a regular file"},
      {fifo, "fifo: is a FIFO, not a regular file", "fifo: is a FIFO, not a regular file"},
      {"/dev/full", "/dev/full: is a device, not a regular file",
       "/dev/full: is a device, not a regular file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    Demo demo;
    std::string error;
    EXPECT_FALSE(loadDemo(c.path, demo, error));
    EXPECT_PRED_FORMAT2(testing::IsSubstring, c.reading, error);
    DemoWriter writer;
    error.clear();
    EXPECT_EQ(writer.open(c.path, 1, 800, 600, error), c.writing.empty());
    EXPECT_PRED_FORMAT2(testing::IsSubstring, c.writing, error);
  }
}

// The lines of one frame, a burst of pointer motion (10 KB of it in frame 3), a key and an idle,
// with `between` run after each, then the frame line; returns the lines the file should gain.
std::string writeFrame(DemoWriter& writer, int frame, const std::function<void()>& between) {
  std::string lines;
  for (int i = 0; i < (frame == 3 ? 800 : frame); ++i) {
    writer.motion(100 + i % 500, 200);
    lines += "motion " + std::to_string(100 + i % 500) + " 200\n";
    between();
  }
  writer.key('a', 5, 6);
  writer.idle();
  between();
  writer.frame(0xabc0 + frame);
  return lines + "key 97 5 6\nidle\nframe " + std::to_string(frame) + " 000000000000abc" +
         std::to_string(frame) + "\n";
}

// The file always ends after a whole frame, so a kill at any moment leaves a demo that replays
// to its last frame. A write that fails, whole or short (a file-size limit here, as a full disk
// does), leaves it there, readable, and says why once: the limit falls inside the header, on a
// frame's end (the next write fails outright), inside a frame and on the end line.
TEST(DemoFile, TheFileAlwaysEndsAfterAWholeFrameWhateverHappensToItsWrites) {
  testenv::TempDir dir;
  const std::string path = (dir / "w.demo").string();
  std::vector<std::size_t> ends{kHeader.size()};  // the file's size after each whole frame
  std::string text = kHeader, error;
  {
    DemoWriter writer;
    ASSERT_TRUE(writer.open(path, 7, 800, 600, error)) << error;
    for (int frame = 1; frame <= 8; ++frame) {
      const std::string lines = writeFrame(writer, frame, [&] {
        ASSERT_EQ(testenv::readFile(path).size(), text.size()) << "a line before its frame";
      });
      text += lines;
      ASSERT_EQ(testenv::readFile(path), text) << "frame " << frame;
      ends.push_back(text.size());
    }
    ASSERT_TRUE(writer.finish(0x1234, error)) << error;
  }
  Demo demo;
  ASSERT_TRUE(loadDemo(path, demo, error)) << error;
  EXPECT_TRUE(demo.finished);
  EXPECT_EQ(demo.frameChecksums.size(), 8u);
  EXPECT_EQ(demo.pictureHash, 0x1234u);

  const struct {
    std::size_t limit;
    int wholeFrames;  // -1: the header itself fails
    const char* says;
  } cases[] = {
      {20, -1, "took only 20 of 52 bytes"},
      {ends[4], 4, "File too large"},
      {ends[4] + 30, 4, "took only 30 of"},
      {ends[8] + 5, 8, "took only 5 of 23 bytes"},
  };
  rlimit usual{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &usual), 0);
  const auto handler = std::signal(SIGXFSZ, SIG_IGN);  // past the limit a write fails instead
  for (const auto& c : cases) {
    SCOPED_TRACE(c.limit);
    DemoWriter writer;
    std::string said;
    error.clear();
    const rlimit limit{c.limit, usual.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    if (writer.open(path, 7, 800, 600, error)) {
      for (int frame = 1; frame <= 8; ++frame) {
        writeFrame(writer, frame, [] {});
        if (writer.failed(error)) said += error + "\n";
      }
      if (writer.isOpen() && !writer.finish(0x1234, error)) said += error + "\n";
      if (writer.failed(error)) said += "said twice\n";
    } else {
      said = error + "\n";
    }
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &usual), 0);
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_PRED_FORMAT2(testing::IsSubstring, "w.demo: cannot write the demo: ", said);
    EXPECT_PRED_FORMAT2(testing::IsSubstring, c.says, said);
    EXPECT_EQ(writer.frames(), std::max(c.wholeFrames, 0));
    const std::string file = testenv::readFile(path);
    EXPECT_EQ(file, c.wholeFrames < 0 ? "" : text.substr(0, ends[c.wholeFrames]));
    EXPECT_TRUE(c.wholeFrames < 0 || parseDemo(file, "w.demo", demo, error)) << error;
  }
  std::signal(SIGXFSZ, handler);
}

}  // namespace
