// The end-to-end tests' shared view of the game: where things appear in its 800 x 600 window,
// and how the tests recognise them.
#pragma once

#include "game_driver.h"

namespace e2e {

using namespace driver;

// A rectangle in window pixels, rows from the top: [x0, x1) x [y0, y1).
struct Box {
  int x0, y0, x1, y1;
};

// On the 100 px panel (37.5 px across and 30 px down to a panel unit): the start and game-over
// labels, the cannon's state, and the red cross of the mute mark right of the speaker.
constexpr Box kStartLabel = {2, 542, 98, 583};
constexpr Box kGameOverLabel = {2, 272, 98, 298};
constexpr Box kCannonState = {0, 132, 100, 165};
constexpr Box kMuteCross = {57, 491, 70, 510};
// The PAUSED and REPLAY marks, above and below the game-over label.
constexpr Box kPausedMark = {8, 206, 92, 220};
constexpr Box kReplayMark = {8, 323, 92, 337};
// The ground band of the scene where the tank drives, below the help page.
constexpr Box kGroundBand = {100, 540, 800, 600};

inline int count(const Picture& p, const Box& b, const std::function<bool(const Rgb&)>& test) {
  return p.count(b.x0, b.y0, b.x1, b.y1, test);
}
inline int differing(const Picture& a, const Picture& b, const Box& box, int tolerance = 24) {
  return a.countDifferent(b, box.x0, box.y0, box.x1, box.y1, tolerance);
}
// Captures until the predicate holds; false on timeout.
inline bool sees(GameProcess& game, const std::function<bool(const Picture&)>& ready) {
  return !game.waitForPicture(ready).empty();
}
// A label shows where its part of the otherwise black panel lights up.
inline bool shown(const Picture& p, const Box& label) {
  return count(p, label, [](const Rgb& c) { return c.r >= 16 || c.g >= 16 || c.b >= 16; }) > 100;
}

}  // namespace e2e
