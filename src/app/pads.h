// Gamepads in the shell: the playing pad's state read once a frame and sent down the same
// paths as the keyboard and the mouse (the recording ones while a demo is recorded).
#pragma once

#include "pad/pad_state.h"

namespace brambleshot {

// The callbacks the pad's events go through.
struct InputRoutes {
  void (*keyboard)(unsigned char key, int x, int y);
  void (*mouse)(int button, int state, int x, int y);
  void (*motion)(int x, int y);
};

// After start-up (and after startRecording, when recording): opens SDL's game controllers and
// reads them from then on, through the recording callbacks when recording. Without SDL (no
// devices, no udev) nothing changes, and at most one line says why.
void startPads(bool recording);
// Reads pads from source from now on, their events going through routes. The native start
// above calls it with SDL's pads; another front end (a browser's) with its own source.
void usePadSource(PadSource& source, const InputRoutes& routes);
// One frame of the pad; the idle callback calls it. Nothing without a source.
void readPads();
// Whether a pad is connected now.
bool padConnected();

}  // namespace brambleshot
