// Demo files: every kind of damage is refused with the file and the line at fault, and files
// that cannot be read or written are named (the play tests record and replay real games).
#include <gtest/gtest.h>

#include <string>
#include <utility>

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

TEST(DemoFile, FilesThatCannotBeReadOrWrittenAreNamed) {
  testenv::TempDir dir;
  Demo demo;
  std::string error;
  EXPECT_FALSE(loadDemo((dir / "missing.demo").string(), demo, error));
  EXPECT_PRED_FORMAT2(testing::IsSubstring, "missing.demo: cannot open: No such file or directory",
                      error);
  EXPECT_FALSE(loadDemo(dir.path().string(), demo, error));
  EXPECT_NE(error.find("is a directory"), std::string::npos) << error;

  DemoWriter writer;
  EXPECT_FALSE(writer.open((dir / "no/such/dir.demo").string(), 1, 800, 600, error));
  EXPECT_PRED_FORMAT2(testing::IsSubstring,
                      "dir.demo: cannot write the demo: No such file or directory", error);
  // A full disk: the header fits the stream's buffer and fails at its flush.
  EXPECT_FALSE(writer.open("/dev/full", 1, 800, 600, error));
  EXPECT_NE(error.find("No space left on device"), std::string::npos) << error;
}

}  // namespace
