// Frame timing in the game's own window: the peak-load scene, the bare frame, the frame's steps
// timed one by one, and the in-process cost of loading every image and mesh.
#pragma once

#include <string>

#include "report.h"

namespace bench {

struct FrameBenchOptions {
  int runs = 7;             // runs of each scene, the two scenes interleaved
  int framesPerRun = 600;   // timed frames in one run
  int warmUpFrames = 40;    // frames drawn before each run's timing starts
  int loadRuns = 11;        // repetitions of the resource loading
  bool experiments = true;  // also time the what-if drawings
  std::string picturesDir;  // when set, the first peak frames are written there as PNG
};

// Runs the game's whole start-up (opens the window), then takes over the frames. False if the
// scripted scene did not stay at peak load.
bool runFrameBench(const FrameBenchOptions& options, Report& report);

// The GL renderer string of the window opened by runFrameBench.
std::string rendererName();

}  // namespace bench
