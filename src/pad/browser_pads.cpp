// The browser's pads, sampled once a frame through emscripten's Gamepad interface.
#include "pad/browser_pads.h"

#include <emscripten/html5.h>

#include <algorithm>
#include <cstring>

namespace brambleshot {

namespace {

// The Gamepad API's standard layout: button and axis numbers.
constexpr int kA = 0, kX = 2, kY = 3, kRightShoulder = 5, kRightTrigger = 7, kBack = 8, kStart = 9,
              kDpadLeft = 14, kDpadRight = 15;
constexpr int kLeftX = 0, kLeftY = 1, kRightX = 2, kRightY = 3;

const char* nameOf(const EmscriptenGamepadEvent& pad) {
  return pad.id[0] != '\0' ? pad.id : "(unnamed)";
}

}  // namespace

bool BrowserPads::open(std::FILE* out) {
  out_ = out;
  return emscripten_sample_gamepad_data() == EMSCRIPTEN_RESULT_SUCCESS;
}

void BrowserPads::read(PadState& state) {
  state = PadState{};
  if (emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS) return;
  const int slots = std::min(emscripten_get_num_gamepads(), static_cast<int>(seen_.size()));
  std::array<bool, 16> now{};
  for (int slot = 0; slot < slots; ++slot) {
    EmscriptenGamepadEvent pad;
    if (emscripten_get_gamepad_status(slot, &pad) != EMSCRIPTEN_RESULT_SUCCESS || !pad.connected)
      continue;
    if (std::strcmp(pad.mapping, "standard") != 0) {
      if (!ignored_[slot])
        std::fprintf(out_, "brambleshot: gamepad %s ignored: its layout is not known\n",
                     nameOf(pad));
      ignored_[slot] = true;
      continue;
    }
    now[slot] = true;
    if (seen_[slot]) continue;
    if (count_ == static_cast<int>(pads_.size())) continue;
    pads_[count_++] = {slot, nextId_++};
    std::fprintf(out_,
                 count_ == 1 ? "brambleshot: gamepad connected: %s\n"
                             : "brambleshot: gamepad connected: %s (the first one "
                               "connected plays)\n",
                 nameOf(pad));
  }
  for (int slot = 0; slot < static_cast<int>(seen_.size()); ++slot) {
    if (!now[slot]) ignored_[slot] = false;
    if (!seen_[slot] || now[slot]) continue;
    const auto end = pads_.begin() + count_;
    const auto gone =
        std::find_if(pads_.begin(), end, [slot](const Pad& p) { return p.index == slot; });
    if (gone == end) continue;
    std::fprintf(out_, "brambleshot: gamepad removed\n");
    std::move(gone + 1, end, gone);
    pads_[--count_] = Pad{};
  }
  seen_ = now;
  if (count_ == 0) return;

  EmscriptenGamepadEvent pad;
  if (emscripten_get_gamepad_status(static_cast<int>(pads_[0].index), &pad) !=
      EMSCRIPTEN_RESULT_SUCCESS)
    return;
  state.connected = true;
  state.id = pads_[0].id;
  auto axis = [&pad](int i) { return i < pad.numAxes ? pad.axis[i] : 0.0; };
  auto button = [&pad](int i) { return i < pad.numButtons && pad.digitalButton[i] != 0; };
  state.leftX = axis(kLeftX);
  state.leftY = axis(kLeftY);
  state.rightX = axis(kRightX);
  state.rightY = axis(kRightY);
  state.rightTrigger = kRightTrigger < pad.numButtons ? pad.analogButton[kRightTrigger] : 0.0;
  state.press(PadButton::a, button(kA));
  state.press(PadButton::x, button(kX));
  state.press(PadButton::y, button(kY));
  state.press(PadButton::back, button(kBack));
  state.press(PadButton::start, button(kStart));
  state.press(PadButton::rightShoulder, button(kRightShoulder));
  state.press(PadButton::dpadLeft, button(kDpadLeft));
  state.press(PadButton::dpadRight, button(kDpadRight));
}

}  // namespace brambleshot
