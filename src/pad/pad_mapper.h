// Turns the playing pad's state, frame by frame, into the keyboard and mouse events the game
// already answers, so that everything said of keys and buttons holds for the pad too.
#pragma once

#include "pad/pad_state.h"

namespace brambleshot {

// The game's input paths, as the pad uses them. Coordinates are window pixels, y from the top.
class PadSink {
 public:
  virtual ~PadSink() = default;
  virtual void key(unsigned char key, int x, int y) = 0;
  virtual void leftButton(bool down, int x, int y) = 0;
  virtual void motion(int x, int y) = 0;
};

// The part of the window the right stick aims across (the scene, right of the panel).
struct PlayArea {
  int left = 0;
  int top = 0;
  int width = 1;
  int height = 1;
};

// Stick and trigger thresholds, and the pace of steering and aiming, in frames.
inline constexpr double kAimDeadZone = 0.2;       // of the right stick's reach, round its centre
inline constexpr double kAimSpeed = 1.0 / 160.0;  // play-area heights a frame at full tilt
inline constexpr double kHoldOn = 0.5;            // a stick or trigger past this holds...
inline constexpr double kHoldOff = 0.3;           // ...until back below this
inline constexpr int kSteerRepeatFrames = 6;      // one steering step per this many frames

class PadMapper {
 public:
  // One frame. (pointerX, pointerY) is where the game last saw the pointer, from the mouse or
  // from the pad: when the mouse has moved it, the stick goes on from there.
  void update(const PadState& pad, int pointerX, int pointerY, const PlayArea& area, PadSink& sink);

 private:
  // A pad removed, or another taking over: lets go of what the last one held.
  void letGo(int pointerX, int pointerY, PadSink& sink);
  void steer(const PadState& pad, int pointerX, int pointerY, PadSink& sink);
  void aim(const PadState& pad, int pointerX, int pointerY, const PlayArea& area, PadSink& sink);

  PadState previous_;
  bool gunsHeld_ = false;
  int steering_ = 0;     // -1 left ('a'), +1 right ('d'), 0 neither
  int steerFrames_ = 0;  // frames since the last steering step
  bool stickLeft_ = false;
  bool stickRight_ = false;
  bool aimKnown_ = false;
  double aimX_ = 0.0;  // the stick's pointer, to the fraction of a pixel
  double aimY_ = 0.0;
  int shownX_ = 0;  // the whole pixel last sent
  int shownY_ = 0;
};

}  // namespace brambleshot
