// The browser page's side of the shell: its buttons and its size reach the game through the same
// calls as the keys and the window do on the desktop (web/shell.js calls these).
#include <emscripten.h>

#include <GL/freeglut.h>

#include "app/fullscreen.h"
#include "app/input.h"
#include "app/swap_interval.h"

namespace brambleshot {

// The browser shows the canvas when it composites; there is no swap to stop waiting for.
SwapControl stopWaitingForRefresh() {
  return SwapControl::none;
}

}  // namespace brambleshot

extern "C" {

// The page's sound button: the m key.
EMSCRIPTEN_KEEPALIVE void brambleshot_toggle_mute() {
  brambleshot::onKeyboard('m', 0, 0);
}

// The page's fullscreen button: F11. Called from the click, which lets the page go fullscreen.
EMSCRIPTEN_KEEPALIVE void brambleshot_toggle_fullscreen() {
  brambleshot::toggleFullscreen();
}

// The page gave the canvas another size: a reshape, as a window resized on the desktop.
EMSCRIPTEN_KEEPALIVE void brambleshot_resize(int width, int height) {
  if (width > 0 && height > 0) glutReshapeWindow(width, height);
}
}
