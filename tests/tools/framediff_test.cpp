// framediff, the judge of drawing changes that may move a few pixels: run on PPM streams that
// differ in known ways.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/test_util.h"

namespace {

// A 200 x 100 picture (20,000 pixels: the default 0.05 % is 10 of them) of one grey, with the
// first `changed` pixels' red channel raised by `levels`.
std::string frame(int changed = 0, int levels = 0) {
  std::string rgb(200 * 100 * 3, '\x60');
  for (int i = 0; i < changed; ++i)
    rgb[static_cast<std::size_t>(i) * 3] = static_cast<char>(0x60 + levels);
  return "P6\n# a comment\n200 100\n255\n" + rgb;
}

testenv::ProcessResult compare(const std::string& before, const std::string& after,
                               const std::vector<std::string>& options = {}) {
  static const testenv::TempDir dir;
  testenv::writeFile(dir / "before.ppm", before);
  testenv::writeFile(dir / "after.ppm", after);
  std::vector<std::string> args = {(dir / "before.ppm").string(), (dir / "after.ppm").string()};
  args.insert(args.end(), options.begin(), options.end());
  return testenv::runProcess(FRAMEDIFF, args, dir.path(), 30.0);
}

TEST(Framediff, PassesOnlyChangesWithinTheShareAndLevelLimits) {
  struct Case {
    std::string after;
    std::vector<std::string> options;
    int exitCode;
    const char* report;
  };
  const std::string two = frame() + frame();
  const Case cases[] = {
      {two, {}, 0, "2 frames, 0 differ"},
      {frame() + frame(10, 24), {}, 0, "frame 1: 10 pixels differ (0.0500%), by up to 24 levels"},
      {frame() + frame(11, 1), {}, 1, "largest share 0.0550% (frame 1"},
      {frame(1, 25) + frame(), {}, 1, "largest gap 25 levels (frame 0"},
      {frame(50, 40) + frame(), {"--max-share", "0.5", "--max-level", "40"}, 0, "within"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.report);
    const auto result = compare(two, c.after, c.options);
    EXPECT_EQ(result.exitCode, c.exitCode) << result.output;
    EXPECT_NE(result.output.find(c.report), std::string::npos) << result.output;
  }
}

TEST(Framediff, StreamsThatCannotBeComparedAreRefused) {
  const std::string one = frame();
  const std::pair<std::string, const char*> cases[] = {
      {"", "ends after 1 frames"},
      {"P6 2 1 255\n" + std::string(6, '\0'), "is 200x100 in one and 2x1 in the other"},
      {one.substr(0, one.size() - 1), "picture cut short"},
      {"P3\n200 100\n255\n", "not a binary PPM"},
      {"P6 200 100 65535\n", "maxval 255"},
      {"P6 999999 1 255\n", "size missing or out of range"},
  };
  for (const auto& [after, report] : cases) {
    SCOPED_TRACE(report);
    const auto result = compare(one + one, one + after);
    EXPECT_EQ(result.exitCode, 2) << result.output;
    EXPECT_NE(result.output.find(report), std::string::npos) << result.output;
  }
  EXPECT_EQ(compare(one, one, {"--max-share"}).exitCode, 2);
  EXPECT_EQ(compare(one, one, {"--max-level", "many"}).exitCode, 2);
}

}  // namespace
