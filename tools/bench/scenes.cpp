// The benchmark's scenes, built through the game's own input where a player would act.
#include "scenes.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

#include <cmath>

#include "app/frame.h"
#include "app/input.h"
#include "tank/tank.h"
#include "world/game.h"

namespace bench {

namespace {

using namespace brambleshot;

struct Load {
  int aircraft, bombs, blasts, sparks;
  bool shell;
  int score;  // sets the score band, which decides how many aircraft may fly
};

Load loadOf(SceneKind kind) {
  switch (kind) {
    case SceneKind::bare:
      return {0, 0, 0, 0, false, 0};
    case SceneKind::typical:
      return {3, 4, 2, 1, false, 12400};
    case SceneKind::peak:
      return {5, 20, 10, 3, true, 52400};
  }
  return {};
}

Scene capture(SceneKind kind) {
  Scene s;
  s.kind = kind;
  s.aircraft = squadron.aircraft;
  s.bombs = squadron.bombs;
  s.explosions = squadron.explosions;
  s.inFlight = squadron.inFlight;
  s.gunStreak = squadron.gunStreak;
  s.explosionLightOn = squadron.explosionLightOn;
  s.gameOver = squadron.gameOver;
  s.score = game.score;
  s.kills = game.kills;
  s.escapes = game.escapes;
  s.health = tank.health;
  s.reload = tank.reload;
  s.gunPhase = tank.gunPhase;
  s.gunsFiring = tank.gunsFiring;
  s.shellInFlight = tank.shellInFlight;
  s.shellX = tank.shellX;
  s.shellY = tank.shellY;
  s.shellHeading = tank.shellHeading;
  return s;
}

// Moves the pointer to where the world point (x, y, 0) shows, as a mouse motion would.
void pointAt(double x, double y) {
  int wx = 0, wy = 0;
  if (windowPointOf(x, y, wx, wy)) onMotion(wx, wy);
}

Scene buildBare() {
  squadron.aircraft.clear();
  squadron.bombs.clear();
  squadron.explosions.clear();
  squadron.explosionLightOn = false;
  squadron.gameOver = true;
  tank.gunsFiring = false;
  tank.shellInFlight = false;
  for (GLenum light : {GL_LIGHT1, GL_LIGHT2, GL_LIGHT3, GL_LIGHT4})
    glDisable(light);
  return capture(SceneKind::bare);
}

}  // namespace

const char* sceneName(SceneKind kind) {
  switch (kind) {
    case SceneKind::bare:
      return "bare";
    case SceneKind::typical:
      return "typical";
    case SceneKind::peak:
      return "peak";
  }
  return "";
}

Scene buildScene(SceneKind kind) {
  game.helpShown = false;
  game.paused = false;
  if (kind == SceneKind::bare) return buildBare();
  const Load load = loadOf(kind);

  squadron.aircraft.clear();
  squadron.bombs.clear();
  squadron.explosions.clear();
  squadron.gameOver = true;
  onKeyboard('n', 0, 0);  // a new game: counters zeroed, tank reset, game over cleared
  drawFrame();            // leaves the scene's matrices for aiming
  pointAt(1.6, 0.6);      // the guns fire at empty sky
  onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 0, 0);
  if (load.shell) onKeyboard(' ', 0, 0);

  constexpr double kAltitudes[5] = {2.8, 3.1, 3.4, 3.8, 3.1};
  for (int i = 0; i < load.aircraft; ++i) {
    Aircraft plane;
    plane.x = -2.2 + 1.1 * i;
    plane.y = kAltitudes[i];
    plane.speed = 0.01 * (1 + i % 3);
    squadron.aircraft.push_back(plane);
  }
  squadron.inFlight = load.aircraft;
  // Up to two rows of ten, below the aircraft.
  for (int i = 0; i < load.bombs; ++i) {
    Bomb bomb;
    bomb.x = -2.25 + 0.5 * (i % 10) + (i < 10 ? 0.0 : 0.25);
    bomb.y = i < 10 ? 1.8 : 2.35;
    bomb.spin = 37.0 * i;
    squadron.bombs.push_back(bomb);
  }
  const double firstBlast[2] = {-2.25, 1.0};
  squadron.spawnExplosion(firstBlast, 0.6, true);  // switches the explosion light on
  squadron.explosions.clear();
  // Large explosions in a row above the tank, sparks by the aircraft.
  for (int i = 0; i < load.blasts; ++i)
    squadron.explosions.push_back({-2.25 + 0.5 * i, 1.0, 0.15 * (i % 3), 0.6, true});
  for (int i = 0; i < load.sparks; ++i)
    squadron.explosions.push_back(
        {squadron.aircraft[i].x + 0.2, squadron.aircraft[i].y - 0.3, 0.05, 0.1, false});

  if (load.shell) {
    // The shell five frames after firing, so the cannon flash and light are still on.
    const double heading = tank.shellHeading * 0.017453292519943295;
    tank.shellX = tank.x + 5 * 0.1 * std::cos(heading);
    tank.shellY = 5 * 0.1 * std::sin(heading);
    tank.reload = 495;
  }
  tank.gunPhase = 0;  // each frame starts a burst: gun lights on, muzzle flashes drawn

  game.score = load.score;
  game.kills = 230;
  game.escapes = 12;
  return capture(kind);
}

void restore(const Scene& s) {
  squadron.aircraft = s.aircraft;
  squadron.bombs = s.bombs;
  squadron.explosions = s.explosions;
  squadron.inFlight = s.inFlight;
  squadron.gunStreak = s.gunStreak;
  squadron.explosionLightOn = s.explosionLightOn;
  squadron.gameOver = s.gameOver;
  game.score = s.score;
  game.kills = s.kills;
  game.escapes = s.escapes;
  tank.health = s.health;
  tank.reload = s.reload;
  tank.gunPhase = s.gunPhase;
  tank.gunsFiring = s.gunsFiring;
  tank.shellInFlight = s.shellInFlight;
  tank.shellX = s.shellX;
  tank.shellY = s.shellY;
  tank.shellHeading = s.shellHeading;
}

bool stillHolds(const Scene& s) {
  if (s.kind == SceneKind::bare)
    return squadron.aircraft.empty() && squadron.bombs.empty() && squadron.isGameOver();
  // A launch chance of the idle callback may add an aircraft; the next restore removes it.
  return squadron.aircraft.size() >= s.aircraft.size() && squadron.bombs.size() >= s.bombs.size() &&
         squadron.explosions.size() == s.explosions.size() && !squadron.isGameOver() &&
         tank.health == s.health && tank.shellInFlight == s.shellInFlight && tank.gunPhase == 1 &&
         game.kills == s.kills;
}

}  // namespace bench
