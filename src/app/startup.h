// Start-up: everything from the window to the sound and the hidden pointer, before the GLUT main
// loop.
#pragma once

#include "app/options.h"

namespace brambleshot {

// The whole start-up in order: window and GL state (fullscreen once shown, if asked), swap
// interval 0 where the display allows, callbacks, sun, random seed from the clock (or the
// options'), built-in texture, camera, squadron, tank, counters, the shell's images, the best
// scores, panel lists, the panel's marks, the sound, the replay mark, hidden pointer, and last
// the idle sleep's wake-up on time. A missing image ends the process with status 1. The options
// may change the window's size and make it fullscreen.
void startUp(int* argc, char** argv, const Options& options = {});

// Opens the 800 x 600 "Brambleshot!" window and sets the fixed GL state.
void openWindow(int* argc, char** argv);
// Installs the display, reshape, mouse, motion, keyboard, special-key (F11) and idle callbacks.
void installCallbacks();
// Loads the backdrop, panel and help images (22 files) under their fixed numbers.
void loadShellTextures();
// Opens the sound (muted or not) and connects it to the world's events. Never fails: without
// a device or its files the game plays on silently after one line on standard error.
void startSound(bool muted);

}  // namespace brambleshot
