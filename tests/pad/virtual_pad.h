// SDL's virtual joysticks as the tests' pads, attached and pulled out at will.
#pragma once

#include <SDL2/SDL.h>

namespace padtest {

// A virtual pad: a game controller when it has the standard layout's axes and buttons. SDL calls
// update, if given, each time the pad is read.
class VirtualPad {
 public:
  explicit VirtualPad(const char* name, bool standard = true, void (*update)(void*) = nullptr) {
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = standard ? SDL_JOYSTICK_TYPE_GAMECONTROLLER : SDL_JOYSTICK_TYPE_FLIGHT_STICK;
    desc.naxes = standard ? SDL_CONTROLLER_AXIS_MAX : 3;
    desc.nbuttons = standard ? SDL_CONTROLLER_BUTTON_MAX : 2;
    desc.name = name;
    desc.Update = update;
    joystick_ = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
    id_ = SDL_JoystickInstanceID(joystick_);
  }
  ~VirtualPad() { unplug(); }
  int id() const { return id_; }
  void button(int b, bool down) { SDL_JoystickSetVirtualButton(joystick_, b, down); }
  void axis(int a, Sint16 value) { SDL_JoystickSetVirtualAxis(joystick_, a, value); }
  void unplug() {
    if (!joystick_) return;
    SDL_JoystickClose(joystick_);
    joystick_ = nullptr;
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
      if (SDL_JoystickGetDeviceInstanceID(i) == id_) SDL_JoystickDetachVirtual(i);
  }

 private:
  SDL_Joystick* joystick_ = nullptr;
  SDL_JoystickID id_ = -1;
};

}  // namespace padtest
