// Linked into the real game (main and the whole core, unchanged) for the pad's end-to-end test:
// with BRAMBLESHOT_PAD_SCRIPT set, a virtual SDL pad is plugged in before main and plays the
// script below. A virtual pad lives in the process that makes it, so this is as far out as one
// can be driven from. SDL brings the pad up to date once for every read the game makes. When
// the script is over the pad rests and "pad script done" is printed.
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "virtual_pad.h"

namespace {

// One control set (a button down, or an axis from -1 to 1, a trigger from 0 to 1) and held for
// that many reads; a step of 0 reads goes with the next. Everything else rests.
struct Step {
  int reads, button = -1, axis = -1;
  double value = 0;
};
constexpr Step press(int reads, int button) {
  return {reads, button};
}
constexpr Step tilt(int reads, int axis, double value) {
  return {reads, -1, axis, value};
}
// A new game (X), driving (left stick, d-pad), aiming, guns, cannon (A), mute (Y), pause and
// resume (Start, the second read on the timer), the help page shown and hidden (Back).
constexpr Step kScript[] = {{20},
                            press(3, SDL_CONTROLLER_BUTTON_X),
                            {20},
                            tilt(30, SDL_CONTROLLER_AXIS_LEFTX, -1),
                            {10},
                            press(30, SDL_CONTROLLER_BUTTON_DPAD_RIGHT),
                            {10},
                            tilt(0, SDL_CONTROLLER_AXIS_RIGHTX, 1),
                            tilt(40, SDL_CONTROLLER_AXIS_RIGHTY, -0.5),
                            tilt(40, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 1),
                            {10},
                            press(3, SDL_CONTROLLER_BUTTON_A),
                            {20},
                            press(3, SDL_CONTROLLER_BUTTON_Y),
                            {10},
                            press(3, SDL_CONTROLLER_BUTTON_START),
                            {20},
                            press(3, SDL_CONTROLLER_BUTTON_START),
                            {20},
                            press(3, SDL_CONTROLLER_BUTTON_BACK),
                            {20},
                            press(3, SDL_CONTROLLER_BUTTON_BACK),
                            {20}};

padtest::VirtualPad* pad = nullptr;  // never closed: SDL may be gone by the time statics go
std::size_t stepAt = 0;
int readsLeft = 0;

Sint16 raw(int axis, double value) {
  // A trigger's raw axis runs its whole range from rest to fully pulled.
  if (axis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT) value = value * 2.0 - 1.0;
  return static_cast<Sint16>(value >= 0 ? value * 32767 : value * 32768);
}

void rest() {
  for (int button = 0; button < SDL_CONTROLLER_BUTTON_MAX; ++button)
    pad->button(button, false);
  for (int axis = 0; axis < SDL_CONTROLLER_AXIS_MAX; ++axis)
    pad->axis(axis, raw(axis, 0.0));
}

void update(void*) {
  if (!pad) return;
  while (readsLeft == 0 && stepAt <= std::size(kScript)) {
    if (stepAt == 0 || kScript[stepAt - 1].reads > 0) rest();
    if (stepAt++ == std::size(kScript)) {
      std::printf("pad script done\n");
      std::fflush(stdout);
      return;
    }
    const Step& step = kScript[stepAt - 1];
    if (step.button >= 0) pad->button(step.button, true);
    if (step.axis >= 0) pad->axis(step.axis, raw(step.axis, step.value));
    readsLeft = step.reads;
  }
  if (readsLeft > 0) --readsLeft;
}

// Before main: the pad is plugged in before the game starts SDL's game controllers.
const bool plugged = [] {
  if (!std::getenv("BRAMBLESHOT_PAD_SCRIPT")) return false;
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_InitSubSystem(SDL_INIT_JOYSTICK);
  pad = new padtest::VirtualPad("Scripted pad", true, update);
  return true;
}();

}  // namespace
