// The real idle callback and the pause keys inside GLUT's own main loop.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <utility>

#include "app/input.h"
#include "enemies/squadron.h"
#include "world/game.h"
#include "world/random.h"

namespace {

using namespace brambleshot;

int displays = 0;
void countDisplay() {
  ++displays;
}

// The squadron wired to the game's counters, as start-up leaves it, with a frame counter shown.
void wireGame(bool over) {
  squadron.score = &game.score;
  squadron.kills = &game.kills;
  squadron.escapes = &game.escapes;
  squadron.gameOver = over;
  glutDisplayFunc(countDisplay);
}

// Lets GLUT handle events until it has drawn a frame (a window not yet shown draws none; on a
// busy machine the server may take seconds to show it).
void pumpUntilDrawn() {
  for (int i = 0; i < 4000 && displays == 0; ++i) {
    glutMainLoopEvent();
    if (displays == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// One draw of the generator for the launch chance (100 in 32768), the launch it allows, and a
// frame asked for.
TEST(Idle, GivesTheSquadronItsLaunchChanceAndAsksForAFrame) {
  const Squadron saved = squadron;
  wireGame(false);
  glutPostRedisplay();
  pumpUntilDrawn();
  // Seed 0 draws 38, then 7719 for the altitude; seed 19 draws 100, just outside the chance.
  const struct {
    std::uint32_t seed;
    std::size_t launched;
    int draws;
  } cases[] = {{0, 1, 2}, {19, 0, 1}};
  for (const auto& c : cases) {
    squadron.aircraft.clear();
    squadron.inFlight = 0;
    brambleshot::srand(c.seed);
    for (int i = 0; i < c.draws; ++i)
      brambleshot::rand();
    const std::uint32_t after = brambleshot::randomState();
    brambleshot::srand(c.seed);
    displays = 0;
    onIdle();
    EXPECT_EQ(squadron.aircraft.size(), c.launched) << "seed " << c.seed;
    EXPECT_EQ(brambleshot::randomState(), after) << "seed " << c.seed;
    pumpUntilDrawn();
    EXPECT_EQ(displays, 1);
  }
  squadron = saved;
}

// Runs GLUT's main loop for a moment and ends the process with status 1 if the idle callback
// ran meanwhile (it draws from the generator), 0 if it did not.
[[noreturn]] void runMainLoopForAMoment() {
  wireGame(true);  // the launch chance is drawn all the same
  brambleshot::srand(1);
  glutTimerFunc(
      300, [](int) { std::exit(brambleshot::randomState() != 1u ? 1 : 0); }, 0);
  glutMainLoop();
  std::exit(3);
}

// Pausing takes the idle callback away, so nothing moves until input comes; resuming gives it
// back. 'h' pauses and resumes along with the help page.
TEST(Idle, PauseKeysTakeTheIdleCallbackAwayAndGiveItBack) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // the child opens its own window
  const std::pair<const char*, int> cases[] = {{"", 1},  {"p", 0},  {"pp", 1},
                                               {"h", 0}, {"hh", 1}, {"ph", 1}};
  for (const auto& [keys, idleRan] : cases) {
    EXPECT_EXIT(
        {
          glutIdleFunc(onIdle);  // as start-up leaves it
          for (const char* k = keys; *k != '\0'; ++k)
            onKeyboard(static_cast<unsigned char>(*k), 0, 0);
          runMainLoopForAMoment();
        },
        ::testing::ExitedWithCode(idleRan), "")
        << "keys '" << keys << "'";
  }
}

}  // namespace
