// Start-up pieces called from main, in the order main calls them.
#pragma once

namespace brambleshot {

// Opens the 800 x 600 "Brambleshot!" window and sets the fixed GL state.
void openWindow(int* argc, char** argv);
// Installs the display, reshape, mouse, motion, keyboard and idle callbacks.
void installCallbacks();
// Loads the backdrop, panel and help images (22 files) under their fixed numbers.
void loadShellTextures();

}  // namespace brambleshot
