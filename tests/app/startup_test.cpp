// The game's own start-up run in a child process from the repository (where Resources/ is):
// what it loads and in which order, each image under its number, and the state it leaves; and
// the process-wide protections taken at the start of main.
#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/startup.h"
#include "app/streams.h"
#include "assets/bitmap.h"
#include "enemies/squadron.h"
#include "support/test_util.h"
#include "tank/tank.h"
#include "world/game.h"

namespace {

using namespace brambleshot;

// Every image in load order, with the number it is shown under.
std::vector<std::pair<std::string, TextureId>> images() {
  std::vector<std::pair<std::string, TextureId>> list = {
      {"bomb", 2001},       {"explosion", 2002},    {"target", 1001},
      {"targetMask", 1002}, {"muzzle_flash", 1003}, {"muzzle_flash_mask", 1004},
      {"desert05", 5001},   {"numNeg", 5999},       {"Start", 6010},
      {"GameOver", 6011},   {"Cannon", 6020},       {"Reloading", 6021},
      {"Score", 6030},      {"Health", 6031},       {"Kills", 6040},
      {"Escapes", 6041},    {"help", 6050},         {"help_mask", 6051}};
  for (int digit = 9; digit >= 0; --digit)  // after numNeg
    list.insert(list.begin() + 8, {"num" + std::to_string(digit), 6000 + digit});
  return list;
}

// Runs start-up and returns what disagrees with the expectations, one line each.
std::string startUpAndCheck() {
  game.score = game.kills = game.escapes = 7;
  static char name[] = "brambleshot";
  static char* argv[] = {name, nullptr};
  int argc = 1;
  const std::string printed = testenv::captureStdout([&] { startUp(&argc, argv); });

  std::ostringstream problems;
  std::string expected;
  for (const auto& [file, id] : images())
    expected += "Trying to load: ./Resources/" + file + ".bmp\n";
  std::string loads;
  std::istringstream lines(printed);
  for (std::string line; std::getline(lines, line);)
    if (line.starts_with("Trying to load: ")) loads += line + "\n";
  if (loads != expected) problems << "loaded in this order:\n" << loads;

  for (const auto& [file, id] : images()) {
    BitmapImage bitmap;
    readBitmap("./Resources/" + file + ".bmp", bitmap);
    std::string shown(static_cast<std::size_t>(bitmap.width) * bitmap.height * 3, '\0');
    glBindTexture(GL_TEXTURE_2D, id);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, shown.data());
    if (!bitmap.pixels || std::memcmp(shown.data(), bitmap.pixels.get(), shown.size()) != 0)
      problems << "texture " << id << " is not " << file << ".bmp\n";
  }
  if (game.score != 0 || game.kills != 0 || game.escapes != 0) problems << "counters not zeroed\n";
  if (!squadron.isGameOver() || tank.health != 250) problems << "not on the start screen\n";
  if (glutGet(GLUT_WINDOW_WIDTH) != 800 || glutGet(GLUT_WINDOW_HEIGHT) != 600)
    problems << "window not 800 x 600\n";
  if (glutGet(GLUT_WINDOW_CURSOR) != GLUT_CURSOR_NONE) problems << "pointer not hidden\n";
  if (prctl(PR_GET_TIMERSLACK, 0UL, 0UL, 0UL, 0UL) != 1) problems << "idle sleep may wake late\n";
  if (!glIsEnabled(GL_DEPTH_TEST) || !glIsEnabled(GL_LIGHTING) || !glIsEnabled(GL_LIGHT0))
    problems << "depth test, lighting or the sun off\n";
  return problems.str();
}

TEST(StartUp, LoadsEveryImageInOrderUnderItsNumberAndOpensOnTheStartScreen) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X display";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        const std::string problems = startUpAndCheck();
        std::fputs(problems.c_str(), stderr);
        std::fflush(stderr);
        // _Exit skips the leak check at exit, which would count Mesa's driver memory as leaks.
        std::_Exit(problems.empty() ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

// A write past the file-size limit (a score table or demo on a nearly full quota) must fail with
// EFBIG, not kill the game with SIGXFSZ.
TEST(Streams, WritingPastTheFileSizeLimitFailsInsteadOfKilling) {
  testenv::TempDir dir;
  const std::string path = (dir / "big").string();
  EXPECT_EXIT(
      {
        protectStandardStreams();
        rlimit limit{};
        limit.rlim_cur = limit.rlim_max = 16;
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(10);
        std::FILE* file = std::fopen(path.c_str(), "w");
        if (!file) _exit(11);
        char bytes[64] = {};
        std::fwrite(bytes, 1, sizeof bytes, file);
        _exit(std::fflush(file) != 0 && errno == EFBIG ? 0 : 12);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
