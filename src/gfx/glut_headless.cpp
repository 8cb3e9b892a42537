// GLUT without a window, for the headless build: the game's callbacks are kept and run by a main
// loop of its own, with no input, no pixels and no X server.
#include <cstdlib>

#include "gfx/api.h"

namespace brambleshot::gfx::api {

namespace {

struct Callbacks {
  void (*display)() = nullptr;
  void (*idle)() = nullptr;
  bool redisplay = false;
  int width = 300;  // the size asked for; there is no window to have a size
  int height = 300;
};
Callbacks window;

}  // namespace

void glutInit(int*, char**) {}
void glutInitDisplayMode(unsigned int) {}
void glutInitWindowSize(int width, int height) {
  window.width = width;
  window.height = height;
}
int glutCreateWindow(const char*) {
  return 1;
}
void glutDisplayFunc(void (*callback)()) {
  window.display = callback;
}
void glutIdleFunc(void (*callback)()) {
  window.idle = callback;
}
// Input never comes, and the window is never reshaped or closed by anyone.
void glutReshapeFunc(void (*)(int, int)) {}
void glutMouseFunc(void (*)(int, int, int, int)) {}
void glutMotionFunc(void (*)(int, int)) {}
void glutPassiveMotionFunc(void (*)(int, int)) {}
void glutKeyboardFunc(void (*)(unsigned char, int, int)) {}
void glutSpecialFunc(void (*)(int, int, int)) {}
void glutCloseFunc(void (*)()) {}
void glutSetCursor(int) {}
void glutSetOption(GLenum, int) {}
void glutFullScreen() {}
void glutLeaveFullScreen() {}
void glutReshapeWindow(int, int) {}

void glutPostRedisplay() {
  window.redisplay = true;
}

// No window: no size to read pixels from, and never fullscreen.
int glutGet(GLenum) {
  return 0;
}

void glutMainLoopEvent() {
  if (window.redisplay && window.display) {
    window.redisplay = false;
    window.display();
  }
}

void glutMainLoop() {
  // Frames for the asking, the idle callback between them; with neither there is nothing left
  // that could ever happen.
  while (window.display || window.idle) {
    if (window.redisplay) {
      glutMainLoopEvent();
    } else if (window.idle) {
      window.idle();
    } else {
      break;
    }
  }
  std::exit(0);
}

}  // namespace brambleshot::gfx::api
