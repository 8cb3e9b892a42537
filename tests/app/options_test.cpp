// The command line: the game's options are taken out, GLUT's are left, refusals say why.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/options.h"
#include "support/test_util.h"

namespace brambleshot {
namespace {

struct Parsed {
  ParseResult result;
  Options options;
  std::vector<std::string> left;  // what GLUT is given, argv[0] included
  std::string out;
  std::string err;
};

std::string readAll(std::FILE* file) {
  std::string text;
  std::rewind(file);
  for (int c; (c = std::fgetc(file)) != EOF;)
    text += static_cast<char>(c);
  std::fclose(file);
  return text;
}

Parsed parse(std::vector<std::string> args) {
  args.insert(args.begin(), "brambleshot");
  std::vector<char*> argv;
  for (std::string& arg : args)
    argv.push_back(arg.data());
  argv.push_back(nullptr);
  int argc = static_cast<int>(args.size());
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  Parsed p;
  p.result = parseOptions(argc, argv.data(), p.options, out, err);
  if (p.result == ParseResult::play) {
    for (int i = 0; i < argc; ++i)
      p.left.push_back(argv[i]);
    EXPECT_EQ(argv[argc], nullptr);
  }
  p.out = readAll(out);
  p.err = readAll(err);
  return p;
}

TEST(Options, GameOptionsAreTakenOutAndGlutOptionsLeftInOrder) {
  Parsed p = parse({"-display", ":7", "--fullscreen", "--window", "1024x768", "-iconic", "--mute",
                    "-geometry", "300x200+5+5", "--record=demo.txt"});
  ASSERT_EQ(p.result, ParseResult::play);
  EXPECT_EQ(p.left, (std::vector<std::string>{"brambleshot", "-display", ":7", "-iconic",
                                              "-geometry", "300x200+5+5"}));
  EXPECT_TRUE(p.options.fullscreen);
  EXPECT_TRUE(p.options.mute);
  EXPECT_EQ(p.options.windowWidth, 1024);
  EXPECT_EQ(p.options.windowHeight, 768);
  EXPECT_EQ(p.options.recordFile, "demo.txt");
  EXPECT_TRUE(p.err.empty());

  Parsed none = parse({});
  ASSERT_EQ(none.result, ParseResult::play);
  EXPECT_EQ(none.options.windowWidth, 0);
  EXPECT_FALSE(none.options.fullscreen || none.options.mute);
  EXPECT_EQ(none.left, std::vector<std::string>{"brambleshot"});

  Parsed replay = parse({"--play", "a.demo", "--fast"});
  ASSERT_EQ(replay.result, ParseResult::play);
  EXPECT_EQ(replay.options.playFile, "a.demo");
  EXPECT_TRUE(replay.options.fast);
}

TEST(Options, HelpAndVersionAnswerOnStandardOutput) {
  Parsed help = parse({"--fullscreen", "--help", "--bogus"});
  EXPECT_EQ(help.result, ParseResult::exitOk);
  EXPECT_NE(help.out.find("Usage: brambleshot"), std::string::npos);
  EXPECT_NE(help.out.find("--window WIDTHxHEIGHT"), std::string::npos);
  EXPECT_TRUE(help.err.empty());

  Parsed version = parse({"--version"});
  EXPECT_EQ(version.result, ParseResult::exitOk);
  EXPECT_EQ(version.out, "brambleshot " BRAMBLESHOT_VERSION "\n");
}

TEST(Options, NonsenseIsRefusedWithOneLineNamingIt) {
  struct Case {
    std::vector<std::string> args;
    const char* named;  // what the message must quote
  };
  const Case cases[] = {
      {{"--frobnicate"}, "'--frobnicate'"},
      {{"-x"}, "'-x'"},
      {{"level3"}, "'level3'"},
      {{"--window"}, "'--window' needs a value"},
      {{"--window", "800"}, "'800'"},
      {{"--window", "800x"}, "'800x'"},
      {{"--window", "x600"}, "'x600'"},
      {{"--window", "800x600x2"}, "'800x600x2'"},
      {{"--window", "-800x600"}, "'-800x600'"},
      {{"--window", "0x0"}, "'0x0'"},
      {{"--window", "63x600"}, "'63x600'"},
      {{"--window", "16385x600"}, "'16385x600'"},
      {{"--window", "99999999999999999999x600"}, "'99999999999999999999x600'"},
      {{"--window= 800x600"}, "' 800x600'"},
      {{"--fullscreen=yes"}, "'--fullscreen' takes no value"},
      {{"--record"}, "'--record' needs a value"},
      {{"--play="}, "'--play' needs a file name"},
      {{"--fast"}, "--fast works only with --play"},
      {{"--record", "a", "--play", "b"}, "cannot be used together"},
      {{"--play", "a", "--window", "640x480"}, "takes the window's size from the demo"},
      {{"-display"}, "'-display' needs a value"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.front());
    Parsed p = parse(c.args);
    EXPECT_EQ(p.result, ParseResult::exitBad);
    EXPECT_TRUE(p.out.empty());
    EXPECT_NE(p.err.find(c.named), std::string::npos) << p.err;
    EXPECT_EQ(p.err.find('\n'), p.err.size() - 1) << "one line: " << p.err;
  }
}

TEST(Options, WindowSizesAtTheLimitsAreAccepted) {
  int w = 0;
  int h = 0;
  EXPECT_TRUE(parseWindowSize("64x64", w, h));
  EXPECT_EQ(w, 64);
  EXPECT_TRUE(parseWindowSize("16384x16384", w, h));
  EXPECT_EQ(h, 16384);
  EXPECT_TRUE(parseWindowSize("1280x960", w, h));
  EXPECT_EQ(w, 1280);
  EXPECT_EQ(h, 960);
}

// The real program, without a display: answers and refusals come before GLUT needs one.
TEST(Options, TheProgramAnswersWithItsExitStatusBeforeOpeningAWindow) {
  testenv::TempDir dir;
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* says;
  };
  const Case cases[] = {
      {{"--help"}, 0, "Usage: brambleshot"},
      {{"--version"}, 0, "brambleshot " BRAMBLESHOT_VERSION},
      {{"--nope"}, 2, "unknown option '--nope'"},
      {{"--window", "1x1"}, 2, "'1x1'"},
  };
  for (const Case& c : cases) {
    testenv::ProcessResult r = testenv::runProcess(BRAMBLESHOT_BINARY, c.args, dir.path(), 20.0);
    EXPECT_EQ(r.exitCode, c.status) << c.args.front();
    EXPECT_NE(r.output.find(c.says), std::string::npos) << r.output;
  }
}

}  // namespace
}  // namespace brambleshot
