// Linked into the real game (main and the whole core, unchanged) for the pad's end-to-end test:
// before main, a virtual SDL pad is plugged in, and the script named by BRAMBLESHOT_PAD_SCRIPT
// moves its controls. A virtual pad lives in the process that makes it, so this is as far out
// as one can be driven from. SDL brings the pad up to date once for every read the game makes;
// each script line holds its controls for that many reads:
//   COUNT [CONTROL[=VALUE]]...    controls: a x y back start rshoulder dleft dright (buttons)
//                                 leftx rightx righty (-1..1), rtrigger (0..1)
// When the script is over the pad rests and "pad script done" is printed.
#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Step {
  int reads = 0;
  std::map<int, bool> buttons;
  std::map<int, double> axes;
};

const std::map<std::string, int> kButtons = {{"a", SDL_CONTROLLER_BUTTON_A},
                                             {"x", SDL_CONTROLLER_BUTTON_X},
                                             {"y", SDL_CONTROLLER_BUTTON_Y},
                                             {"back", SDL_CONTROLLER_BUTTON_BACK},
                                             {"start", SDL_CONTROLLER_BUTTON_START},
                                             {"rshoulder", SDL_CONTROLLER_BUTTON_RIGHTSHOULDER},
                                             {"dleft", SDL_CONTROLLER_BUTTON_DPAD_LEFT},
                                             {"dright", SDL_CONTROLLER_BUTTON_DPAD_RIGHT}};
const std::map<std::string, int> kAxes = {{"leftx", SDL_CONTROLLER_AXIS_LEFTX},
                                          {"rightx", SDL_CONTROLLER_AXIS_RIGHTX},
                                          {"righty", SDL_CONTROLLER_AXIS_RIGHTY},
                                          {"rtrigger", SDL_CONTROLLER_AXIS_TRIGGERRIGHT}};

std::vector<Step> script;
std::size_t stepAt = 0;
int readsLeft = 0;
SDL_Joystick* joystick = nullptr;

Sint16 raw(int axis, double value) {
  // A trigger's raw axis runs its whole range from rest to fully pulled.
  if (axis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT) value = value * 2.0 - 1.0;
  return static_cast<Sint16>(value >= 0 ? value * 32767 : value * 32768);
}

void rest() {
  for (const auto& [name, button] : kButtons)
    SDL_JoystickSetVirtualButton(joystick, button, 0);
  for (const auto& [name, axis] : kAxes)
    SDL_JoystickSetVirtualAxis(joystick, axis, raw(axis, 0.0));
}

void update(void*) {
  if (stepAt > script.size()) return;
  while (readsLeft == 0) {
    rest();
    if (stepAt == script.size()) {
      std::printf("pad script done\n");
      std::fflush(stdout);
      ++stepAt;
      return;
    }
    const Step& step = script[stepAt++];
    for (const auto& [button, down] : step.buttons)
      SDL_JoystickSetVirtualButton(joystick, button, down);
    for (const auto& [axis, value] : step.axes)
      SDL_JoystickSetVirtualAxis(joystick, axis, raw(axis, value));
    readsLeft = step.reads;
  }
  --readsLeft;
}

bool readScript(const char* path) {
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line.substr(0, line.find('#')));
    Step step;
    if (!(words >> step.reads)) continue;
    for (std::string word; words >> word;) {
      const std::string name = word.substr(0, word.find('='));
      const double value = word.find('=') == std::string::npos
                               ? 1.0
                               : std::strtod(word.c_str() + name.size() + 1, nullptr);
      if (kButtons.count(name))
        step.buttons[kButtons.at(name)] = value != 0.0;
      else if (kAxes.count(name))
        step.axes[kAxes.at(name)] = value;
      else
        return false;
    }
    script.push_back(step);
  }
  return in.eof();
}

// Before main: the pad is plugged in before the game starts SDL's game controllers.
const bool plugged = [] {
  const char* path = std::getenv("BRAMBLESHOT_PAD_SCRIPT");
  if (!path) return false;
  if (!readScript(path)) {
    std::fprintf(stderr, "scripted pad: cannot read %s\n", path);
    std::exit(2);
  }
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_InitSubSystem(SDL_INIT_JOYSTICK);
  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  desc.name = "Scripted pad";
  desc.Update = update;
  joystick = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
  return joystick != nullptr;
}();

}  // namespace
