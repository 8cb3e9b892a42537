// Pace and frame timing in the game's own window: steps per second of the game's loop, the
// frame of the bare, typical and peak scenes, the peak frame's steps timed one by one, and the
// in-process cost of loading every image and mesh.
#pragma once

#include <string>

#include "pace_bench.h"
#include "report.h"

namespace bench {

struct FrameBenchOptions {
  PaceOptions pace;         // runs = 0 leaves the pace rows out
  bool frameTimes = true;   // the frame-time, step, loading and diagnosis rows
  int runs = 7;             // runs of each scene, the three scenes interleaved
  int framesPerRun = 600;   // timed frames in one run
  int warmUpFrames = 40;    // frames drawn before each run's timing starts
  int loadRuns = 11;        // repetitions of the resource loading
  bool experiments = true;  // also time the what-if drawings
  std::string picturesDir;  // when set, the first peak frames are written there as PNG
};

// Runs the game's whole start-up (opens the window), then takes over the frames. False if a
// scripted scene did not hold its load.
bool runFrameBench(const FrameBenchOptions& options, Report& report);

// The GL renderer string of the window opened by runFrameBench.
std::string rendererName();

}  // namespace bench
