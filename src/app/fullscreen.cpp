// Fullscreen through freeglut, which under a window manager asks for the fullscreen state and
// without one resizes the window to the screen.
#include "app/fullscreen.h"

#include <GL/freeglut.h>

namespace brambleshot {

namespace {

bool fullscreen = false;
int windowedWidth = 0;  // pixels; the size to return to
int windowedHeight = 0;

}  // namespace

void enterFullscreen() {
  if (fullscreen) return;
  windowedWidth = glutGet(GLUT_WINDOW_WIDTH);
  windowedHeight = glutGet(GLUT_WINDOW_HEIGHT);
  glutFullScreen();
  fullscreen = true;
}

void leaveFullscreen() {
  if (!fullscreen) return;
  glutLeaveFullScreen();
  // Some window managers restore the size themselves, some do not: ask for it either way.
  glutReshapeWindow(windowedWidth, windowedHeight);
  fullscreen = false;
}

void toggleFullscreen() {
  if (fullscreen)
    leaveFullscreen();
  else
    enterFullscreen();
}

bool isFullscreen() {
  return fullscreen;
}

void onSpecialKey(int key, int /*x*/, int /*y*/) {
  // The reshape that follows asks for the next frame.
  if (key == GLUT_KEY_F11) toggleFullscreen();
}

}  // namespace brambleshot
