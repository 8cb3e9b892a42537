// The world's shared records: the Game record, the window sizes it accepts, the Camera and the
// long-lived game objects (defined by the shell, which builds them in a fixed order).
#pragma once

#include "assets/vec.h"

namespace brambleshot {

struct Game {
  int windowWidth = 0;  // pixels; rewritten by the reshape callback
  int windowHeight = 0;
  bool paused = false;
  bool helpShown = false;
  int score = 0;  // may become negative
  int kills = 0;
  int escapes = 0;
  // Fixed view settings, assigned once by setViewSettings(). The panel's system is mirrored:
  // orthoLeft > orthoRight and orthoBottom > orthoTop.
  double orthoLeft = 0.0;
  double orthoRight = 0.0;
  double orthoBottom = 0.0;
  double orthoTop = 0.0;
  double nearPlane = 0.0;
  double farPlane = 0.0;
};

// The sides a window may be given, in pixels, on the command line (--window) and in a demo.
inline constexpr int kMinWindowSide = 64;
inline constexpr int kMaxWindowSide = 16384;

// Looks along +z from in front of the play plane z = 0, so world +x is on the screen's left.
struct Camera {
  Vec3 eye{0.0, 0.0, -1.0};
  Vec3 centre{0.0, 0.0, 0.0};
  Vec3 up{0.0, 1.0, 0.0};
};

struct Tank;
struct Squadron;

extern Game game;
extern Camera camera;
extern Tank tank;
extern Squadron squadron;

// Start-up's first step: the 800 x 600 window size and the two projections' settings.
void setViewSettings(Game& g);
// Start-up's camera step: eye (0, 1.8, -4) looking at (0, 1.8, 0).
void placeCamera(Camera& c);

}  // namespace brambleshot
