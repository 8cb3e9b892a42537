// A seeded soak of the whole game (BRAMBLESHOT_SOAK_FRAMES frames, 100,000 by default), checked
// after every frame. It is built on the headless drawing layer: the world reads the same GL
// state as in a window (light switches, matrices, viewport) and no X server is needed.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "app/frame.h"
#include "app/input.h"
#include "enemies/squadron.h"
#include "panel/panel.h"
#include "support/gl_env.h"
#include "support/test_util.h"
#include "tank/tank.h"
#include "world/game.h"
#include "world/random.h"

#ifndef BRAMBLESHOT_SOAK_DEFAULT
#define BRAMBLESHOT_SOAK_DEFAULT 100000  // frames; the sanitizer build asks for fewer
#endif

namespace {

using namespace brambleshot;

constexpr int kWidth = 240, kHeight = 180;

// Every position, angle and radius in the world is a number.
bool allFinite() {
  std::vector<double> v{
      tank.x,           tank.y,           tank.aimX,   tank.aimY,         tank.pointerX,
      tank.pointerY,    tank.shellX,      tank.shellY, tank.leftGunAngle, tank.rightGunAngle,
      tank.cannonAngle, tank.shellHeading};
  for (const Aircraft& a : squadron.aircraft)
    v.insert(v.end(), {a.x, a.y, a.speed});
  for (const Bomb& b : squadron.bombs)
    v.insert(v.end(), {b.x, b.y, b.spin});
  for (const Explosion& e : squadron.explosions)
    v.insert(v.end(), {e.x, e.y, e.radius, e.maxRadius});
  return std::all_of(v.begin(), v.end(), [](double x) { return std::isfinite(x); });
}

TEST(Soak, WholeGamePlaysWithSeededInput) {
  testenv::captureStdout([] {
    testenv::loadAllTextures();
    squadron.init(tankHitTest, game.score, game.kills, game.escapes);
    tank.init(camera);
    buildPanelLists();
  });
  game.score = game.kills = game.escapes = 0;
  testenv::resizeWindow(kWidth, kHeight);
  game.paused = game.helpShown = false;

  const char* text = std::getenv("BRAMBLESHOT_SOAK_FRAMES");
  const long frames =
      text != nullptr && *text != '\0' ? std::strtol(text, nullptr, 10) : BRAMBLESHOT_SOAK_DEFAULT;
  brambleshot::srand(20240611u);
  std::mt19937 input(7u);
  std::uniform_real_distribution<double> chance(0.0, 1.0);
  const unsigned char keys[] = {' ', ' ', 'a', 'a', 'd', 'd', 'n', 'n', 'p', 'h', 'x', 'N', 'A'};

  // kills + escapes + inFlight = those in flight when a new game zeroed the counters + launches.
  int inFlightAtZero = squadron.inFlight, totalKills = 0, totalEscapes = 0;
  long launchesSinceZero = 0, games = 0;
  for (long frame = 0; frame < frames; ++frame) {
    if (chance(input) < 0.06) {  // about as often as a busy player
      const unsigned char key = keys[input() % sizeof keys];
      const bool startsGame = key == 'n' && squadron.isGameOver();
      onKeyboard(key, 0, 0);
      if (startsGame) {
        inFlightAtZero = squadron.inFlight;
        launchesSinceZero = 0;
        games += 1;
      }
    }
    if (chance(input) < 0.02)
      onMouse(GLUT_LEFT_BUTTON, tank.gunsFiring ? GLUT_UP : GLUT_DOWN, 0, 0);
    if (chance(input) < 0.01) onMouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 0, 0);
    const double move = chance(input);
    if (move < 0.05) {
      onMotion(static_cast<int>(input() % kWidth), static_cast<int>(input() % kHeight));
    } else if (move < 0.12 && !squadron.aircraft.empty()) {  // follow an aircraft to hit it
      const Aircraft& target = squadron.aircraft[frame % squadron.aircraft.size()];
      int wx = 0, wy = 0;
      if (windowPointOf(target.x + 0.05, target.y + 0.05, wx, wy)) onMotion(wx, wy);
    }
    // The idle callback's launch chance; there is no idle call while paused.
    if (!game.paused) {
      const int before = squadron.inFlight;
      offerLaunch();
      launchesSinceZero += squadron.inFlight - before;
    }

    const int killsBefore = game.kills, escapesBefore = game.escapes;
    drawFrame();
    SCOPED_TRACE(testing::Message() << "frame " << frame);
    ASSERT_TRUE(allFinite());
    ASSERT_TRUE(squadron.aircraft.size() <= 5 &&
                squadron.inFlight == static_cast<int>(squadron.aircraft.size()));
    ASSERT_TRUE(squadron.bombs.size() <= 400 && squadron.explosions.size() <= 400);
    ASSERT_EQ(game.kills + game.escapes + squadron.inFlight, inFlightAtZero + launchesSinceZero);
    ASSERT_TRUE(tank.health >= 0 && tank.health <= 250 && tank.health % 50 == 0 &&
                (tank.health > 0 || squadron.isGameOver()))
        << tank.health;
    ASSERT_TRUE(game.kills >= killsBefore && game.escapes >= escapesBefore);
    totalKills += game.kills - killsBefore;
    totalEscapes += game.escapes - escapesBefore;
  }

  std::printf("soak: %ld frames, %ld games, %d kills, %d escapes\n", frames, games, totalKills,
              totalEscapes);
  EXPECT_TRUE(frames < 100000 || (games > 5 && totalKills > 5 && totalEscapes > 5))
      << "a full run must have played games with kills and escapes";
}

}  // namespace
