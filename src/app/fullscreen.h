// Fullscreen on and off (F11 and --fullscreen), back to the window's size from before.
#pragma once

namespace brambleshot {

// Fills the screen, remembering the window's present size; nothing if already fullscreen.
void enterFullscreen();
// Back to the size the window had before it filled the screen; nothing if not fullscreen.
void leaveFullscreen();
void toggleFullscreen();
bool isFullscreen();

// --fullscreen: fills the screen once the window has shown. A request made while the window is
// still being mapped can be lost without a window manager.
void enterFullscreenOnceShown();
// Called by the reshape callback: carries out a request waiting for the window.
void onWindowShaped();

// GLUT's special-key callback: F11 toggles fullscreen. No other special key does anything, and
// none asks for a frame, so the arrows and function keys leave the world as it was.
void onSpecialKey(int key, int x, int y);

}  // namespace brambleshot
