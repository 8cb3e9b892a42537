// Keyboard, mouse, motion, reshape and idle callbacks, and the tank's hit test for the squadron.
#include "app/input.h"

#include <GL/freeglut.h>

#include <cstdlib>

#include "app/best_scores.h"
#include "app/frame.h"
#include "app/fullscreen.h"
#include "app/pads.h"
#include "audio/sound_player.h"
#include "enemies/squadron.h"
#include "host/host.h"
#include "tank/tank.h"
#include "world/events.h"
#include "world/game.h"
#include "world/random.h"

namespace brambleshot {

namespace {

void (*idleCallback)() = onIdle;  // what resuming installs
bool startedUnderHelp = false;    // 'n' started a game while the help page showed

// 'p': toggles the pause. Pausing removes the idle callback, so frames come only from input.
void togglePause() {
  game.paused = !game.paused;
  glutIdleFunc(game.paused ? nullptr : idleCallback);
  soundPlayer.setPaused(game.paused);
}

void startNewGame() {
  // A game that ended in a frame not shown yet is entered before its counters are cleared.
  noteFinishedGame();
  game.score = 0;
  game.kills = 0;
  game.escapes = 0;
  tank.reset();
  squadron.clearGameOver();
  raiseEvent(GameEvent::newGame, tank.x);
}

}  // namespace

// Keys are exact bytes: only the lower-case letters act. Every key asks for a frame.
void onKeyboard(unsigned char key, int /*x*/, int /*y*/) {
  switch (key) {
    case ' ':
      if (!game.paused) tank.fire();
      break;
    case 'a':
      if (!game.paused) tank.steer(-1, camera);
      break;
    case 'd':
      if (!game.paused) tank.steer(+1, camera);
      break;
    case 'h':
      game.helpShown = !game.helpShown;
      startedUnderHelp = startedUnderHelp && game.helpShown;
      togglePause();
      break;
    case 'p':
      togglePause();
      break;
    case 'n':
      if (squadron.isGameOver()) {
        startNewGame();
        startedUnderHelp = game.helpShown;
      }
      break;
    case 'm':
      soundPlayer.setMuted(!soundPlayer.isMuted());
      break;
    case 'q':
      std::exit(0);
    default:
      break;
  }
  glutPostRedisplay();
}

void onMouse(int button, int state, int /*x*/, int /*y*/) {
  if (button == GLUT_LEFT_BUTTON) {
    if (state == GLUT_DOWN) tank.gunsFiring = true;
    if (state == GLUT_UP) tank.gunsFiring = false;
  }
  glutPostRedisplay();
}

// GLUT counts y from the top row; aiming wants it from the bottom row.
void onMotion(int x, int y) {
  tank.aim(static_cast<double>(x), static_cast<double>(game.windowHeight - y - 1), camera);
  glutPostRedisplay();
}

// The next frame sets both viewports and projections from the new size.
void onReshape(int width, int height) {
  game.windowWidth = width;
  game.windowHeight = height;
  onWindowShaped();
  glutPostRedisplay();
}

void setIdleCallback(void (*idle)()) {
  idleCallback = idle;
  glutIdleFunc(game.paused ? nullptr : idleCallback);
}

void idleSleep() {
  host::pauseBetweenSteps();
}

void offerLaunch() {
  // 100 chances in 32768 per idle call; the squadron refuses while the game is over or full.
  if (rand() % 100000 < 100) squadron.launchAircraft();
}

void onIdle() {
  idleSleep();
  presentPendingFrame();
  offerLaunch();
  readPads();  // after the sleep, so the pad is read as late as it can be before the frame
  glutPostRedisplay();
}

bool gameWaitsUnderHelp() {
  return startedUnderHelp && game.helpShown && game.paused;
}

bool tankHitTest(const double centre[2], double radius) {
  if (squadron.isGameOver()) return false;  // a destroyed tank takes no more damage
  if (!tank.blastTest(centre, radius)) return false;
  const double wreck[2] = {tank.x, tank.y};
  raiseEvent(GameEvent::tankDestroyed, wreck[0]);
  squadron.spawnExplosion(wreck, 0.6, false);
  return true;
}

}  // namespace brambleshot
