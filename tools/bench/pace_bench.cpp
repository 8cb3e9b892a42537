// Runs the game's main loop as freeglut's glutMainLoop does (one pass over the window system's
// events, which calls the display callback when a redisplay is posted, then the idle callback)
// but returns after a given time, which glutMainLoop cannot do without closing the window.
#include "pace_bench.h"

#include <GL/freeglut.h>

#include <time.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/input.h"
#include "audio/sound_player.h"
#include "scenes.h"
#include "timing.h"
#include "world/game.h"

namespace bench {

namespace {

// Which way the game under measure draws, in the rows' names (the classic build's rows keep
// their plain names).
#if defined(BRAMBLESHOT_DRAWING_SHADERS)
const std::string kDrawingKey = "_shaders";
const std::string kDrawingLabel = " (shaders)";
#else
const std::string kDrawingKey;
const std::string kDrawingLabel;
#endif

const Scene* playing = nullptr;  // the scene every frame starts from
long steps = 0;                  // frames drawn, i.e. world steps
bool held = true;                // every frame left the scene as full as it found it
double cpuPerStep = 0;           // the last run's CPU time per step, all threads, ms

// CPU time of the whole process (the renderer's and the mixer's threads included), ms: unlike
// the pace, it hardly changes with what else the machine is running.
double processCpuMilliseconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}

// The game's display callback, with the scene put back first (a few vector copies, about a
// microsecond; outside the game's own work, but inside the timed loop).
void displayScene() {
  restore(*playing);
  brambleshot::onDisplay();
  ++steps;
  if (!stillHolds(*playing)) held = false;
}

// World steps per second over `seconds` of wall time.
double playFor(const Scene& scene, double seconds) {
  playing = &scene;
  steps = 0;
  glutDisplayFunc(displayScene);
  glutPostRedisplay();
  const auto start = Clock::now();
  const double cpuStart = processCpuMilliseconds();
  double elapsed = 0;
  while ((elapsed = millisecondsSince(start) / 1000.0) < seconds) {
    glutMainLoopEvent();
    brambleshot::onIdle();
  }
  glutMainLoopEvent();  // the frame the last idle call asked for
  const double total = millisecondsSince(start) / 1000.0;
  cpuPerStep = (processCpuMilliseconds() - cpuStart) / static_cast<double>(std::max(steps, 1L));
  return static_cast<double>(steps) / total;
}

}  // namespace

bool runPaceBench(const PaceOptions& options, Report& report) {
  const std::array<Scene, 3> scenes = {buildScene(SceneKind::bare), buildScene(SceneKind::typical),
                                       buildScene(SceneKind::peak)};
  constexpr double kTargets[3] = {90, 75, 50};  // % of the designed pace, by scene
  for (const Scene& scene : scenes)
    playFor(scene, options.warmUp);
  held = true;
  std::array<std::vector<double>, 3> rates;
  // Typical play once more with the sound closed, as on a machine without a device, right
  // before or after the typical run (alternately, so neither gains from its place): the
  // sound's cost is the difference.
  const bool sound = brambleshot::soundPlayer.isOpen();
  std::vector<double> silentRates, cpuOn, cpuOff;
  const auto silentRun = [&] {
    brambleshot::soundPlayer.close();
    silentRates.push_back(playFor(scenes[1], options.seconds));
    cpuOff.push_back(cpuPerStep);
    brambleshot::soundPlayer.open(brambleshot::kSoundFolder, brambleshot::camera);
  };
  for (int run = 0; run < options.runs; ++run) {
    for (std::size_t s = 0; s < scenes.size(); ++s) {
      if (s == 1 && sound && run % 2 == 1) silentRun();
      rates[s].push_back(playFor(scenes[s], options.seconds));
      if (s == 1) cpuOn.push_back(cpuPerStep);
      if (s == 1 && sound && run % 2 == 0) silentRun();
    }
  }
  if (!held) {
    std::printf("a pace scene did not hold between frames\n");
    return false;
  }
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%g s/run", options.seconds);
  for (std::size_t s = 0; s < scenes.size(); ++s) {
    const std::string name = sceneName(scenes[s].kind);
    const Figure rate = summarise(rates[s]);
    const Figure percent = {100 * rate.median / kDesignedStepsPerSecond,
                            100 * rate.min / kDesignedStepsPerSecond,
                            100 * rate.max / kDesignedStepsPerSecond, rate.runs};
    char target[32];
    std::snprintf(target, sizeof target, ">= %.0f%%", kTargets[s]);
    report.add({"pace_" + name + kDrawingKey + "_steps_per_s",
                "pace, " + name + kDrawingLabel + ", " + seconds,
                "steps/s",
                rate,
                "",
                {},
                1});
    report.add({"pace_" + name + kDrawingKey + "_percent",
                "  pace, " + name + kDrawingLabel + ", of 200 steps/s", "%", percent, target,
                percent.median >= kTargets[s], 1});
  }
  if (!sound) {
    std::printf("no sound device: the sound on/off pair is left out\n");
    return true;
  }
  // Run by run, sound on against sound off. The sound costs nothing that matters when its median
  // cost is no more than the spread of the silent runs themselves (a negative cost is no cost).
  std::vector<double> cost;
  for (std::size_t i = 0; i < silentRates.size(); ++i)
    cost.push_back(100 * (silentRates[i] - rates[1][i]) / silentRates[i]);
  const Figure costFigure = summarise(cost);
  const Figure silentFigure = summarise(silentRates);
  const double silentSpread =
      silentFigure.median > 0 ? 100 * (silentFigure.max - silentFigure.min) / silentFigure.median
                              : 0;
  report.add({"pace_typical_silent_steps_per_s",
              "pace, typical, sound off",
              "steps/s",
              silentFigure,
              "",
              {},
              1});
  report.add({"pace_sound_cost_percent", "  sound's cost, typical (off - on) / off", "%",
              costFigure, "within noise", costFigure.median <= std::max(0.0, silentSpread), 1});
  report.add({"cpu_typical_sound_on_ms",
              "CPU per step, typical, sound on",
              "ms",
              summarise(cpuOn),
              "",
              {},
              3});
  report.add({"cpu_typical_sound_off_ms",
              "CPU per step, typical, sound off",
              "ms",
              summarise(cpuOff),
              "",
              {},
              3});
  return true;
}

}  // namespace bench
