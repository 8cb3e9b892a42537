// The pace a player feels: world steps per second while the game's own loop runs, with the idle
// callback's 5 ms sleep and the real display callback and swap, for the bare, typical and peak
// scenes side by side.
#pragma once

#include "report.h"

namespace bench {

struct PaceOptions {
  int runs = 5;         // runs of each scene, the three scenes interleaved
  double seconds = 10;  // wall time of one run
  double warmUp = 1;    // seconds of each scene played once before the first run
};

// The designed pace: one step per 5 ms sleep, a frame costing nothing.
inline constexpr double kDesignedStepsPerSecond = 200.0;

// Needs the game's window and resources (after runFrameBench's start-up). Adds steps/s and % of
// the designed pace, with their targets, for each scene. False if a scene did not hold.
bool runPaceBench(const PaceOptions& options, Report& report);

}  // namespace bench
