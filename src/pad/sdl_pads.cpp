// SDL2's game controllers as the game's pads: hot plugging and the standard layout's state.
#include "pad/sdl_pads.h"

#define SDL_MAIN_HANDLED
#include <SDL2/SDL.h>

#include <algorithm>

namespace brambleshot {

namespace {

// SDL's axes run from -32768 to 32767; the game wants -1 to 1.
double axis(SDL_GameController* controller, SDL_GameControllerAxis which) {
  return std::clamp(SDL_GameControllerGetAxis(controller, which) / 32767.0, -1.0, 1.0);
}

const char* nameOf(const char* name) {
  return name ? name : "a pad with no name";
}

struct ButtonOf {
  PadButton button;
  SDL_GameControllerButton sdl;
};
constexpr ButtonOf kButtons[] = {
    {PadButton::a, SDL_CONTROLLER_BUTTON_A},
    {PadButton::x, SDL_CONTROLLER_BUTTON_X},
    {PadButton::y, SDL_CONTROLLER_BUTTON_Y},
    {PadButton::back, SDL_CONTROLLER_BUTTON_BACK},
    {PadButton::start, SDL_CONTROLLER_BUTTON_START},
    {PadButton::rightShoulder, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER},
    {PadButton::dpadLeft, SDL_CONTROLLER_BUTTON_DPAD_LEFT},
    {PadButton::dpadRight, SDL_CONTROLLER_BUTTON_DPAD_RIGHT},
};

}  // namespace

bool SdlPads::open(std::FILE* out) {
  if (open_) return true;
  out_ = out;
  // The game keeps its own signal handling (SIGPIPE and SIGXFSZ ignored, the default for the
  // rest), and reads pads whether or not its window has the focus: SDL sees no window of its own.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  SDL_SetMainReady();
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
    std::fprintf(out_, "brambleshot: no gamepads: %s\n", SDL_GetError());
    return false;
  }
  open_ = true;
  return true;
}

void SdlPads::close() {
  if (!open_) return;
  for (int i = 0; i < count_; ++i)
    SDL_GameControllerClose(pads_[i].controller);
  count_ = 0;
  SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  open_ = false;
}

// One pump of SDL's events a read (which also brings every pad's state up to date), then the
// queue emptied: only plugging in and out matter here, the state is read directly.
void SdlPads::read(PadState& state) {
  state = PadState{};
  if (!open_) return;
  SDL_PumpEvents();
  SDL_Event event;
  while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
    if (event.type == SDL_CONTROLLERDEVICEADDED) connect(event.cdevice.which);
    if (event.type == SDL_CONTROLLERDEVICEREMOVED) remove(event.cdevice.which);
    if (event.type == SDL_JOYDEVICEADDED && !SDL_IsGameController(event.jdevice.which))
      ignoreUnknown(event.jdevice.which);
  }
  if (count_ == 0) return;
  SDL_GameController* controller = pads_[0].controller;
  state.connected = true;
  state.id = pads_[0].id;
  state.leftX = axis(controller, SDL_CONTROLLER_AXIS_LEFTX);
  state.leftY = axis(controller, SDL_CONTROLLER_AXIS_LEFTY);
  state.rightX = axis(controller, SDL_CONTROLLER_AXIS_RIGHTX);
  state.rightY = axis(controller, SDL_CONTROLLER_AXIS_RIGHTY);
  state.rightTrigger = axis(controller, SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
  for (const ButtonOf& entry : kButtons)
    state.press(entry.button, SDL_GameControllerGetButton(controller, entry.sdl) != 0);
}

void SdlPads::connect(int deviceIndex) {
  const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
  for (int i = 0; i < count_; ++i)
    if (pads_[i].id == id) return;  // already open (SDL may say so twice at start-up)
  const char* name = nameOf(SDL_GameControllerNameForIndex(deviceIndex));
  if (count_ == static_cast<int>(pads_.size())) {
    std::fprintf(out_, "brambleshot: gamepad %s ignored: %d are connected already\n", name, count_);
    return;
  }
  SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
  if (!controller) {
    std::fprintf(out_, "brambleshot: gamepad %s could not be opened: %s\n", name, SDL_GetError());
    return;
  }
  pads_[count_++] = {controller, id};
  if (count_ == 1)
    std::fprintf(out_, "brambleshot: gamepad connected: %s\n", name);
  else
    std::fprintf(out_, "brambleshot: gamepad connected: %s (the first one connected plays)\n",
                 name);
}

void SdlPads::remove(SDL_JoystickID id) {
  const auto end = pads_.begin() + count_;
  const auto pad = std::find_if(pads_.begin(), end, [id](const Pad& p) { return p.id == id; });
  if (pad == end) return;
  std::fprintf(out_, "brambleshot: gamepad removed: %s\n",
               nameOf(SDL_GameControllerName(pad->controller)));
  SDL_GameControllerClose(pad->controller);
  std::move(pad + 1, end, pad);
  pads_[--count_] = Pad{};
}

void SdlPads::ignoreUnknown(int deviceIndex) {
  std::fprintf(out_, "brambleshot: gamepad %s ignored: its layout is not known\n",
               nameOf(SDL_JoystickNameForIndex(deviceIndex)));
}

}  // namespace brambleshot
