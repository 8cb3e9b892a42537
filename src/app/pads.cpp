// Gamepads in the shell: SDL's pads read in the idle callback (and on a timer while paused, when
// there is no idle callback), their events fed to the keyboard and mouse callbacks.
#include "app/pads.h"

#include <GL/freeglut.h>

#include <cmath>
#include <cstdio>

#include "app/demos.h"
#include "app/frame.h"
#include "app/input.h"
#include "pad/pad_mapper.h"
#if defined(BRAMBLESHOT_HOST_BROWSER)
#include "pad/browser_pads.h"
#else
#include "pad/sdl_pads.h"
#endif
#include "tank/tank.h"
#include "world/game.h"

namespace brambleshot {

namespace {

PadSource* padSource = nullptr;
InputRoutes padRoutes{};
PadMapper padMapper;
PadState padState;
#if defined(BRAMBLESHOT_HOST_BROWSER)
BrowserPads systemPads;  // the page's Gamepad API
#else
SdlPads systemPads;  // closed by its destructor when the game exits
#endif

class RoutedSink : public PadSink {
 public:
  void key(unsigned char key, int x, int y) override { padRoutes.keyboard(key, x, y); }
  void leftButton(bool down, int x, int y) override {
    padRoutes.mouse(GLUT_LEFT_BUTTON, down ? GLUT_DOWN : GLUT_UP, x, y);
  }
  void motion(int x, int y) override { padRoutes.motion(x, y); }
};
RoutedSink routedSink;

#ifndef BRAMBLESHOT_DRAWING_HEADLESS
// While paused the idle callback is gone and frames come only from input, so a timer reads the
// pad instead, at the idle callback's pace; while playing it only looks now and then for a pause.
constexpr unsigned kPausedReadMs = 5;
constexpr unsigned kPlayingLookMs = 50;

void readWhilePaused(int) {
  if (game.paused) readPads();
  glutTimerFunc(game.paused ? kPausedReadMs : kPlayingLookMs, readWhilePaused, 0);
}

#endif

}  // namespace

void usePadSource(PadSource& source, const InputRoutes& routes) {
  padSource = &source;
  padRoutes = routes;
}

void startPads(bool recording) {
#ifdef BRAMBLESHOT_DRAWING_HEADLESS
  (void)recording;  // no window, no input, no timers: nothing to read pads for
#else
  if (!systemPads.open(stdout)) return;
  usePadSource(systemPads, recording ? InputRoutes{recordKeyboard, recordMouse, recordMotion}
                                     : InputRoutes{onKeyboard, onMouse, onMotion});
  glutTimerFunc(kPlayingLookMs, readWhilePaused, 0);
#endif
}

void readPads() {
  if (!padSource) return;
  padSource->read(padState);
  // The tank keeps the pointer with y from the bottom row; events count it from the top.
  const int pointerX = static_cast<int>(std::lround(tank.pointerX));
  const int pointerY = game.windowHeight - 1 - static_cast<int>(std::lround(tank.pointerY));
  const int panelWidth = panelWidthFor(game.windowWidth);
  const PlayArea area{panelWidth, 0, game.windowWidth - panelWidth, game.windowHeight};
  padMapper.update(padState, pointerX, pointerY, area, routedSink);
}

bool padConnected() {
  return padSource && padSource->anyConnected();
}

}  // namespace brambleshot
