// Fullscreen on and off (F11 and --fullscreen), back to the window's size from before.
#pragma once

namespace brambleshot {

// Fills the screen, remembering the window's present size; nothing if already fullscreen.
void enterFullscreen();
// Back to the size the window had before it filled the screen; nothing if not fullscreen.
void leaveFullscreen();
void toggleFullscreen();
bool isFullscreen();

// GLUT's special-key callback: F11 toggles fullscreen. No other special key does anything, and
// none asks for a frame, so the arrows and function keys leave the world as it was.
void onSpecialKey(int key, int x, int y);

}  // namespace brambleshot
