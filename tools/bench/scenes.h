// The scenes the benchmark times: bare (game over, nothing in the air), typical play and peak
// load. A scene is captured once and restored before every frame (vector assignment into
// existing capacity), so each measured frame does a whole frame's work at that load while the
// frame itself runs unchanged: the world still advances one step inside it.
#pragma once

#include <vector>

#include "enemies/squadron.h"

namespace bench {

enum class SceneKind { bare, typical, peak };

// Everything a frame of a scene changes and the next one needs back.
struct Scene {
  SceneKind kind = SceneKind::bare;
  std::vector<brambleshot::Aircraft> aircraft;
  std::vector<brambleshot::Bomb> bombs;
  std::vector<brambleshot::Explosion> explosions;
  int inFlight = 0;
  int gunStreak = 0;
  bool explosionLightOn = false;
  bool gameOver = true;
  int score = 0, kills = 0, escapes = 0;
  int health = 0, reload = 0, gunPhase = 0;
  bool gunsFiring = false, shellInFlight = false;
  double shellX = 0, shellY = 0, shellHeading = 0;
};

// Builds the scene in the game's objects and captures it. Needs the game's start-up done.
//   bare: the start screen, nothing in the air, no gun or cannon light;
//   typical: three aircraft, four bombs, two large explosions and a spark, guns firing;
//   peak: five aircraft, twenty bombs, ten large explosions and three sparks, guns firing and
//   the cannon's shell five frames out with its flash.
// Nothing overlaps anything it could damage. The help page is hidden (it pauses the world).
Scene buildScene(SceneKind kind);
// Puts the game's objects back as the scene was captured.
void restore(const Scene& scene);
// True when a frame of the scene left it as full as it found it (bar the one step).
bool stillHolds(const Scene& scene);
// "bare", "typical" or "peak".
const char* sceneName(SceneKind kind);

}  // namespace bench
