// The command line: the game's options are taken out, GLUT's are left, refusals say why.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/options.h"
#include "support/test_util.h"

namespace brambleshot {
namespace {

struct Parsed {
  ParseResult result;
  Options options;
  std::vector<std::string> left;  // what GLUT is given, argv[0] included
  std::string out, err;
};

Parsed parse(std::vector<std::string> args) {
  args.insert(args.begin(), "brambleshot");
  std::vector<char*> argv;
  for (std::string& arg : args)
    argv.push_back(arg.data());
  argv.push_back(nullptr);
  int argc = static_cast<int>(args.size());
  testenv::MemoryStream out, err;
  Parsed p;
  p.result = parseOptions(argc, argv.data(), p.options, out.stream, err.stream);
  p.left.assign(argv.begin(), argv.begin() + argc);
  EXPECT_EQ(argv[argc], nullptr);
  p.out = out.text();
  p.err = err.text();
  return p;
}

TEST(Options, GameOptionsAreTakenOutAndGlutOptionsLeftInOrder) {
  Parsed p = parse({"-display", ":7", "--fullscreen", "--window", "1024x768", "-iconic", "--mute",
                    "-geometry", "300x200+5+5", "--record=demo.txt"});
  ASSERT_EQ(p.result, ParseResult::play);
  EXPECT_EQ(p.left, (std::vector<std::string>{"brambleshot", "-display", ":7", "-iconic",
                                              "-geometry", "300x200+5+5"}));
  EXPECT_TRUE(p.options.fullscreen && p.options.mute);
  EXPECT_EQ(std::pair(p.options.windowWidth, p.options.windowHeight), std::pair(1024, 768));
  EXPECT_EQ(p.options.recordFile, "demo.txt");
  EXPECT_EQ(p.out + p.err, "");
  // The smallest and largest windows are accepted.
  for (const char* size : {"64x64", "16384x16384"}) {
    int w = 0, h = 0;
    EXPECT_TRUE(parseWindowSize(size, w, h)) << size;
    EXPECT_EQ(std::to_string(w) + "x" + std::to_string(h), size);
  }
}

// Refusals say on standard error, in one line, what they refuse; help and the version are
// answers on standard output, whatever else the line holds.
TEST(Options, NonsenseIsRefusedNamingItAndHelpAndVersionAnswer) {
  const struct {
    std::vector<std::string> args;
    std::string says;
    ParseResult result = ParseResult::exitBad;
  } cases[] = {
      {{"--frobnicate"}, "'--frobnicate'"},
      {{"--window"}, "'--window' needs a value"},
      {{"--window", "800x600x2"}, "'800x600x2'"},
      {{"--window", "600x16385"}, "'600x16385'"},
      {{"--window", "99999999999999999999x600"}, "'99999999999999999999x600'"},
      {{"--window= 800x600"}, "' 800x600'"},
      {{"--play="}, "'--play' needs a file name"},
      {{"--fast"}, "--fast works only with --play"},
      {{"--record", "a", "--play", "b"}, "cannot be used together"},
      {{"--play", "a", "--window", "640x480"}, "takes the window's size from the demo"},
      {{"-display"}, "'-display' needs a value"},
      {{"--fullscreen", "--help", "--bogus"}, "Usage: brambleshot", ParseResult::exitOk},
      {{"--version"}, "brambleshot " BRAMBLESHOT_VERSION "\n", ParseResult::exitOk},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.back());
    const Parsed p = parse(c.args);
    EXPECT_EQ(p.result, c.result);
    const bool answer = c.result == ParseResult::exitOk;
    const std::string& said = answer ? p.out : p.err;
    EXPECT_EQ(answer ? p.err : p.out, "");
    const std::size_t at = said.find(c.says);
    EXPECT_TRUE(answer ? at == 0 : at != std::string::npos) << said;
    EXPECT_TRUE(answer || said.find('\n') == said.size() - 1) << "one line: " << said;
  }
}

// An answer that cannot be written is a failure, said on standard error.
TEST(Options, HelpOrVersionThatCannotBeWrittenFails) {
  for (const char* option : {"--help", "--version"}) {
    SCOPED_TRACE(option);
    std::string arg = option;
    char* argv[] = {arg.data(), arg.data(), nullptr};
    int argc = 2;
    Options options;
    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    testenv::MemoryStream err;
    EXPECT_EQ(parseOptions(argc, argv, options, full, err.stream), ParseResult::exitBad);
    std::fclose(full);
    EXPECT_EQ(err.text(), "brambleshot: cannot write the answer: No space left on device\n");
  }
}

}  // namespace
}  // namespace brambleshot
