// framediff, the judge of drawing changes that may move a few pixels: run on PPM streams that
// differ in known ways.
#include <gtest/gtest.h>

#include <string>
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

// The same grey picture with a black edge five pixels tall in column `column`.
std::string edge(int column) {
  std::string picture = frame();
  const std::size_t start = picture.size() - 200 * 100 * 3;
  for (int row = 40; row < 45; ++row)
    for (int c = 0; c < 3; ++c)
      picture[start + static_cast<std::size_t>(row * 200 + column) * 3 + c] = '\0';
  return picture;
}

// Exit 0 within the limits, 1 beyond them, 2 for streams or options that cannot be compared.
TEST(Framediff, JudgesChangesByShareAndLevelAndRefusesWhatItCannotCompare) {
  struct Case {
    std::string after;
    std::vector<std::string> options;
    int exitCode;
    const char* report;
    std::string before = {};  // two grey frames unless given
  };
  const std::string one = frame(), two = one + one;
  const Case cases[] = {
      {two, {}, 0, "2 frames, 0 differ"},
      {one + frame(10, 24), {}, 0, "frame 1: 10 pixels differ (0.0500%), by up to 24 levels"},
      {one + frame(11, 1), {}, 1, "largest share 0.0550% (frame 1"},
      {frame(1, 25) + one, {}, 1, "largest gap 25 levels (frame 0"},
      {frame(50, 40) + one, {"--max-share", "0.5", "--max-level", "40"}, 0, "within"},
      {one, {}, 2, "ends after 1 frames"},
      {one + "P6 2 1 255\n" + std::string(6, '\0'), {}, 2, "200x100 in one and 2x1 in the other"},
      {one + one.substr(0, one.size() - 1), {}, 2, "picture cut short"},
      {one + "P3\n200 100\n255\n", {}, 2, "not a binary PPM"},
      {one + "P6 200 100 65535\n", {}, 2, "maxval 255"},
      {one + "P6 999999 1 255\n", {}, 2, "size missing or out of range"},
      // An edge one pixel over is forgiven only when asked; a wrong colour never is.
      {one + edge(101), {}, 1, "largest gap 96 levels (frame 1", one + edge(100)},
      {one + edge(101),
       {"--shifted"},
       0,
       "largest gap 0 levels allowing a pixel's shift",
       one + edge(100)},
      {one + frame(10, 40), {"--shifted"}, 1, "largest gap 40 levels allowing a pixel's shift"},
      // Rounding noise is left out of the share only when asked.
      {one + frame(500, 2), {"--noise", "2"}, 0, "2 frames, 0 differ"},
      {one + frame(500, 3), {"--noise", "2"}, 1, "largest share 2.5000%"},
      {two, {"--max-share"}, 2, "usage: framediff"},
      {two, {"--max-level", "many"}, 2, "usage: framediff"},
  };
  const testenv::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.report);
    testenv::writeFile(dir / "before.ppm", c.before.empty() ? two : c.before);
    testenv::writeFile(dir / "after.ppm", c.after);
    std::vector<std::string> args = {"before.ppm", "after.ppm"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const auto result = testenv::runProcess(FRAMEDIFF, args, dir.path(), 30);
    EXPECT_EQ(result.exitCode, c.exitCode) << result.output;
    EXPECT_NE(result.output.find(c.report), std::string::npos) << result.output;
  }
}

}  // namespace
