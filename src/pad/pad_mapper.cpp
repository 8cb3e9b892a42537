// The pad's layout: which control sends which key or button, and the right stick's pointer.
#include "pad/pad_mapper.h"

#include <algorithm>
#include <cmath>

namespace brambleshot {

namespace {

// Buttons that act once when pressed, as their keys do.
struct PressedKey {
  PadButton button;
  unsigned char key;
};
constexpr PressedKey kPressedKeys[] = {
    {PadButton::a, ' '},      // the cannon
    {PadButton::start, 'p'},  // pause
    {PadButton::back, 'h'},   // the help page
    {PadButton::x, 'n'},      // a new game
    {PadButton::y, 'm'},      // sound on / off
};

// A stick or trigger reading as a held control, with a gap between holding and letting go so
// that a reading that wavers round the threshold does not press again and again. NaN lets go.
bool holds(double value, bool held) {
  return held ? value > kHoldOff : value > kHoldOn;
}

}  // namespace

void PadMapper::update(const PadState& pad, int pointerX, int pointerY, const PlayArea& area,
                       PadSink& sink) {
  if (!pad.connected || pad.id != previous_.id) {
    letGo(pointerX, pointerY, sink);
    // A button already down when a pad takes over is not a press.
    previous_ = pad;
    if (!pad.connected) return;
  }
  for (const PressedKey& entry : kPressedKeys)
    if (pad.pressed(entry.button) && !previous_.pressed(entry.button))
      sink.key(entry.key, pointerX, pointerY);

  const bool guns = holds(pad.rightTrigger, gunsHeld_) || pad.pressed(PadButton::rightShoulder);
  if (guns != gunsHeld_) {
    gunsHeld_ = guns;
    sink.leftButton(guns, pointerX, pointerY);
  }
  steer(pad, pointerX, pointerY, sink);
  aim(pad, pointerX, pointerY, area, sink);
  previous_ = pad;
}

void PadMapper::letGo(int pointerX, int pointerY, PadSink& sink) {
  if (gunsHeld_) sink.leftButton(false, pointerX, pointerY);
  gunsHeld_ = false;
  steering_ = 0;
  stickLeft_ = false;
  stickRight_ = false;
}

// The left stick or the d-pad steps the tank as a held 'a' or 'd' would under the keyboard's
// repeat: a step at once, then one every kSteerRepeatFrames frames.
void PadMapper::steer(const PadState& pad, int pointerX, int pointerY, PadSink& sink) {
  stickLeft_ = holds(-pad.leftX, stickLeft_);
  stickRight_ = holds(pad.leftX, stickRight_);
  const bool left = stickLeft_ || pad.pressed(PadButton::dpadLeft);
  const bool right = stickRight_ || pad.pressed(PadButton::dpadRight);
  const int direction = left == right ? 0 : (left ? -1 : +1);
  if (direction == 0) {
    steering_ = 0;
    return;
  }
  if (direction != steering_ || ++steerFrames_ >= kSteerRepeatFrames) {
    steering_ = direction;
    steerFrames_ = 0;
    sink.key(direction < 0 ? 'a' : 'd', pointerX, pointerY);
  }
}

// The right stick moves the pointer at a speed that grows from nothing at the dead zone's edge
// to kAimSpeed at full tilt, in the same direction whatever the window's size. The pointer is
// kept to a fraction of a pixel so that slow aiming still moves; it stays inside the play area.
void PadMapper::aim(const PadState& pad, int pointerX, int pointerY, const PlayArea& area,
                    PadSink& sink) {
  if (!aimKnown_ || pointerX != shownX_ || pointerY != shownY_) {
    aimKnown_ = true;  // the mouse (or the first frame) put the pointer there
    aimX_ = shownX_ = pointerX;
    aimY_ = shownY_ = pointerY;
  }
  const double tilt = std::hypot(pad.rightX, pad.rightY);
  if (!(tilt > kAimDeadZone) || !std::isfinite(tilt)) return;  // NaN fails the first test
  const double speed =
      std::min(1.0, (tilt - kAimDeadZone) / (1.0 - kAimDeadZone)) * kAimSpeed * area.height;
  const double right = area.left + std::max(area.width, 1) - 1;
  const double bottom = area.top + std::max(area.height, 1) - 1;
  aimX_ = std::clamp(aimX_ + pad.rightX / tilt * speed, static_cast<double>(area.left), right);
  aimY_ = std::clamp(aimY_ + pad.rightY / tilt * speed, static_cast<double>(area.top), bottom);
  const int x = static_cast<int>(std::lround(aimX_));
  const int y = static_cast<int>(std::lround(aimY_));
  if (x == shownX_ && y == shownY_) return;
  shownX_ = x;
  shownY_ = y;
  sink.motion(x, y);
}

}  // namespace brambleshot
