// GLUT's main loop in the browser. The compiler's GLUT draws on the display's refresh
// (requestAnimationFrame), which would tie the world's pace to the screen. This loop runs as
// freeglut's does on the desktop: a frame when one was asked for, then the idle callback, again
// and again; between rounds it yields to the browser on a 5 ms timer (the pause the desktop
// takes in the idle callback), so the page's one thread never blocks.
#include <emscripten.h>
#include <emscripten/eventloop.h>
#include <emscripten/html5.h>

#include <GL/freeglut.h>

// This file defines the names the browser's <GL/freeglut.h> maps, and calls the compiler's own.
#undef glutDisplayFunc
#undef glutIdleFunc
#undef glutPostRedisplay
#undef glutMotionFunc
#undef glutPassiveMotionFunc
#undef glutMainLoop
#undef glutMainLoopEvent
#undef glutCloseFunc
#undef glutSetOption
#undef glutLeaveFullScreen
#undef glutGet

namespace brambleshot::host {

namespace {

struct Loop {
  void (*display)() = nullptr;
  void (*idle)() = nullptr;
  bool redisplay = false;
  bool running = false;
  unsigned frames = 0;  // displays run, for the page's pace and first-frame measures
  double busyMs = 0.0;  // time spent in the game's callbacks, for the pace's breakdown
};
Loop loop;

constexpr double kPauseMs = 5.0;

// The compiler's GLUT (emscripten 3.1.6) calls the motion callbacks with the pointer's position
// before the move; it has the new one in Browser.mouseX and mouseY by then.
void (*motion)(int, int) = nullptr;
void (*passiveMotion)(int, int) = nullptr;

int pointerX() {
  return EM_ASM_INT({ return Browser.mouseX; });
}
int pointerY() {
  return EM_ASM_INT({ return Browser.mouseY; });
}
void movedHeld(int, int) {
  if (motion) motion(pointerX(), pointerY());
}
void movedFree(int, int) {
  if (passiveMotion) passiveMotion(pointerX(), pointerY());
}

void runDisplay() {
  if (loop.redisplay && loop.display) {
    loop.redisplay = false;
    loop.display();
    ++loop.frames;
  }
}

void round(void*) {
  const double start = emscripten_get_now();
  runDisplay();
  if (loop.idle) loop.idle();
  runDisplay();
  loop.busyMs += emscripten_get_now() - start;
  emscripten_set_timeout(round, kPauseMs, nullptr);
}

}  // namespace

void glutDisplayFunc(void (*callback)()) {
  loop.display = callback;
}

void glutIdleFunc(void (*callback)()) {
  loop.idle = callback;
}

void glutPostRedisplay() {
  loop.redisplay = true;
}

void glutMotionFunc(void (*callback)(int, int)) {
  motion = callback;
  ::glutMotionFunc(callback ? movedHeld : nullptr);
}

void glutPassiveMotionFunc(void (*callback)(int, int)) {
  passiveMotion = callback;
  ::glutPassiveMotionFunc(callback ? movedFree : nullptr);
}

void glutMainLoopEvent() {
  runDisplay();
}

void glutMainLoop() {
  if (loop.running) return;
  loop.running = true;
  // As the compiler's own GLUT starts: the first reshape carries the canvas's size.
  ::glutReshapeWindow(::glutGet(GLUT_WINDOW_WIDTH), ::glutGet(GLUT_WINDOW_HEIGHT));
  loop.redisplay = true;
  emscripten_set_timeout(round, 0.0, nullptr);
  emscripten_exit_with_live_runtime();
}

// A page cannot be closed under the game the way a window can: nothing to register.
void glutCloseFunc(void (*)()) {}
void glutSetOption(GLenum, int) {}

void glutLeaveFullScreen() {
  emscripten_exit_fullscreen();
}

int glutGet(GLenum what) {
  if (what == GLUT_FULL_SCREEN) {
    EmscriptenFullscreenChangeEvent state;
    return emscripten_get_fullscreen_status(&state) == EMSCRIPTEN_RESULT_SUCCESS &&
           state.isFullscreen;
  }
  return ::glutGet(what);
}

}  // namespace brambleshot::host

extern "C" EMSCRIPTEN_KEEPALIVE unsigned brambleshot_frames() {
  return brambleshot::host::loop.frames;
}

extern "C" EMSCRIPTEN_KEEPALIVE double brambleshot_busy_ms() {
  return brambleshot::host::loop.busyMs;
}
