// The two ways of drawing side by side: the seeded game played through the classic build (the
// system's GL 1.x) and through the drawing layer's shaders backend, both on Mesa.
#include <gtest/gtest.h>

#include <string>

#include "support/test_util.h"

namespace {

// Every 200th frame of play and the four screenshots (start screen with the best scores, play,
// the help page, game over) must be the classic pictures. Two rules of the comparison follow
// from measuring all 9,086 frames: an edge may fall one pixel over (the two pipelines round a
// vertex lying on a pixel's centre apart), and a difference of one or two levels is rounding
// (lit colours and filtered textures: 0.6 % of the best-score card's pixels). The same number
// of frames on both sides also says that both played the same game to its end.
TEST(Backends, TheShadersBackendDrawsTheClassicPictures) {
  const testenv::TempDir dir;
  auto run = [&](const char* program, const char* name) {
    return std::string("<(") + program + " " + (dir / name).string() +
           " --frames /dev/fd/3 --sample 200 3>&1 >/dev/null)";
  };
  const std::string command = std::string(FRAMEDIFF) + " --shifted --noise 2 " +
                              run(SCREENSHOTS, "classic") + " " +
                              run(SCREENSHOTS_SHADERS, "shaders");
  const auto result = testenv::runProcess("/bin/bash", {"-c", command}, testenv::sourceDir(), 600);
  EXPECT_EQ(result.exitCode, 0) << result.output;
  EXPECT_NE(result.output.find("49 frames"), std::string::npos) << result.output;
}

// The still scenes (start screen, play with the mute mark, paused, help page, game over with its
// card) at a small, the usual and a large window: the panel's labels and digits are scaled to
// the window, so each size puts texel edges and vertices on other pixel centres.
TEST(Backends, TheStillScenesMatchAtEverySize) {
  const testenv::TempDir dir;
  for (const char* size : {"400x300", "800x600", "1280x960"}) {
    auto run = [&](const char* program, const char* name) {
      return std::string("<(") + program + " " + (dir / name).string() + " --scenes --window " +
             size + " --frames /dev/fd/3 3>&1 >/dev/null)";
    };
    const std::string command = std::string(FRAMEDIFF) + " --shifted --noise 2 " +
                                run(SCREENSHOTS, "classic") + " " +
                                run(SCREENSHOTS_SHADERS, "shaders");
    const auto result =
        testenv::runProcess("/bin/bash", {"-c", command}, testenv::sourceDir(), 600);
    EXPECT_EQ(result.exitCode, 0) << size << "\n" << result.output;
    EXPECT_NE(result.output.find("5 frames"), std::string::npos) << size << "\n" << result.output;
  }
}

}  // namespace
