// Fullscreen through freeglut, which under a window manager asks for the fullscreen state and
// without one resizes the window to the screen. Whether the window is fullscreen is freeglut's
// own record, so a request it could not carry out is simply asked again by the next F11.
#include "app/fullscreen.h"

#include <GL/freeglut.h>

namespace brambleshot {

namespace {

bool pending = false;   // --fullscreen, waiting for the window to show
int windowedWidth = 0;  // pixels; the size to return to
int windowedHeight = 0;

}  // namespace

void enterFullscreenOnceShown() {
  pending = true;
}

void onWindowShaped() {
  if (!pending) return;
  pending = false;
  enterFullscreen();
}

void enterFullscreen() {
  if (isFullscreen()) return;
  windowedWidth = glutGet(GLUT_WINDOW_WIDTH);
  windowedHeight = glutGet(GLUT_WINDOW_HEIGHT);
  glutFullScreen();
}

void leaveFullscreen() {
  if (!isFullscreen()) return;
  glutLeaveFullScreen();
  // Some window managers restore the size themselves, some do not: ask for it either way.
  if (windowedWidth > 0 && windowedHeight > 0) glutReshapeWindow(windowedWidth, windowedHeight);
}

void toggleFullscreen() {
  if (isFullscreen())
    leaveFullscreen();
  else
    enterFullscreen();
}

bool isFullscreen() {
  return glutGet(GLUT_FULL_SCREEN) != 0;
}

void onSpecialKey(int key, int /*x*/, int /*y*/) {
  // The reshape that follows asks for the next frame.
  if (key == GLUT_KEY_F11) toggleFullscreen();
}

}  // namespace brambleshot
