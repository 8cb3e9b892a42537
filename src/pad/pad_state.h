// One gamepad's state in a frame, in the standard controller layout, whichever source read it.
#pragma once

#include <array>

namespace brambleshot {

// The pad's buttons the game uses, by their standard layout names.
enum class PadButton { a, x, y, back, start, rightShoulder, dpadLeft, dpadRight, count };

struct PadState {
  bool connected = false;  // false: no pad plays, and the rest means nothing
  int id = -1;             // which pad; another id is another pad, even on the same port
  // Sticks from -1 to 1, x to the right, y downwards (as window rows count).
  double leftX = 0.0;
  double leftY = 0.0;
  double rightX = 0.0;
  double rightY = 0.0;
  double rightTrigger = 0.0;  // 0 released to 1 fully pulled
  std::array<bool, static_cast<int>(PadButton::count)> buttons{};

  bool pressed(PadButton button) const { return buttons[static_cast<int>(button)]; }
  void press(PadButton button, bool down = true) { buttons[static_cast<int>(button)] = down; }
};

// Where pad states come from: SDL's game controllers natively, the browser's Gamepad API in a
// browser. Read once a frame.
class PadSource {
 public:
  virtual ~PadSource() = default;
  // Takes in pads connected and removed since the last read, then fills state with the playing
  // pad's (the first connected of those still there), or connected = false when there is none.
  virtual void read(PadState& state) = 0;
  // Whether any pad is connected (as of the last read).
  virtual bool anyConnected() const = 0;
};

}  // namespace brambleshot
