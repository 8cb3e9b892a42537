// Drives the real game's frames by hand: the game's start-up opens the window, then each
// measured frame is drawFrame() + glutSwapBuffers() + glFinish(), timed on the wall clock
// (llvmpipe rasterises on worker threads, so CPU time would miss most of it).
//
// The peak scene is restored from a snapshot before every frame (vector assignment into
// existing capacity), so every measured frame does the full work of a frame at peak load
// while the frame itself runs unchanged: the world still advances one step inside it.
#include "frame_bench.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/frame.h"
#include "world/game.h"
#include "app/input.h"
#include "world/lighting.h"
#include "world/random.h"
#include "app/startup.h"
#include "assets/bitmap.h"
#include "assets/mesh.h"
#include "enemies/squadron.h"
#include "experiments.h"
#include "panel/panel.h"
#include "png_writer.h"
#include "tank/tank.h"
#include "timing.h"

namespace bench {

namespace {

using namespace brambleshot;

constexpr std::uint32_t kSeed = 20261206;

void displayNothing() {}

// Everything a peak frame changes and the next one needs back.
struct Snapshot {
  std::vector<Aircraft> aircraft;
  std::vector<Bomb> bombs;
  std::vector<Explosion> explosions;
  int inFlight = 0;
  int gunStreak = 0;
  bool explosionLightOn = false;
  int score = 0, kills = 0, escapes = 0;
  int health = 0, reload = 0, gunPhase = 0;
  bool gunsFiring = false, shellInFlight = false;
  double shellX = 0, shellY = 0, shellHeading = 0;
};

Snapshot peak;

void restore(const Snapshot& s) {
  squadron.aircraft = s.aircraft;
  squadron.bombs = s.bombs;
  squadron.explosions = s.explosions;
  squadron.inFlight = s.inFlight;
  squadron.gunStreak = s.gunStreak;
  squadron.explosionLightOn = s.explosionLightOn;
  squadron.gameOver = false;
  game.score = s.score;
  game.kills = s.kills;
  game.escapes = s.escapes;
  tank.health = s.health;
  tank.reload = s.reload;
  tank.gunPhase = s.gunPhase;
  tank.gunsFiring = s.gunsFiring;
  tank.shellInFlight = s.shellInFlight;
  tank.shellX = s.shellX;
  tank.shellY = s.shellY;
  tank.shellHeading = s.shellHeading;
}

Snapshot capture() {
  Snapshot s;
  s.aircraft = squadron.aircraft;
  s.bombs = squadron.bombs;
  s.explosions = squadron.explosions;
  s.inFlight = squadron.inFlight;
  s.gunStreak = squadron.gunStreak;
  s.explosionLightOn = squadron.explosionLightOn;
  s.score = game.score;
  s.kills = game.kills;
  s.escapes = game.escapes;
  s.health = tank.health;
  s.reload = tank.reload;
  s.gunPhase = tank.gunPhase;
  s.gunsFiring = tank.gunsFiring;
  s.shellInFlight = tank.shellInFlight;
  s.shellX = tank.shellX;
  s.shellY = tank.shellY;
  s.shellHeading = tank.shellHeading;
  return s;
}

// Moves the pointer to where the world point (x, y, 0) shows, as a mouse motion would.
void pointAt(double x, double y) {
  int wx = 0, wy = 0;
  if (windowPointOf(x, y, wx, wy)) onMotion(wx, wy);
}

// Five aircraft in the sky, two rows of ten bombs below them, ten large explosions in a row
// above the tank and three sparks by the aircraft; the guns fire at empty sky, the shell is
// five frames out and the cannon flash burns. Nothing overlaps anything it could damage, so
// the frame changes the scene only by one step, which the snapshot undoes.
void buildPeakScene() {
  squadron.aircraft.clear();
  squadron.bombs.clear();
  squadron.explosions.clear();
  squadron.gameOver = true;
  onKeyboard('n', 0, 0);  // a new game: counters zeroed, tank reset, game over cleared
  drawFrame();            // leaves the scene's matrices for aiming
  pointAt(1.6, 0.6);
  onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 0, 0);
  onKeyboard(' ', 0, 0);

  constexpr double kAltitudes[5] = {2.8, 3.1, 3.4, 3.8, 3.1};
  for (int i = 0; i < 5; ++i) {
    Aircraft plane;
    plane.x = -2.2 + 1.1 * i;
    plane.y = kAltitudes[i];
    plane.speed = 0.01 * (1 + i % 3);
    squadron.aircraft.push_back(plane);
  }
  squadron.inFlight = 5;
  for (int i = 0; i < 20; ++i) {
    Bomb bomb;
    bomb.x = -2.25 + 0.5 * (i % 10) + (i < 10 ? 0.0 : 0.25);
    bomb.y = i < 10 ? 1.8 : 2.35;
    bomb.spin = 37.0 * i;
    squadron.bombs.push_back(bomb);
  }
  const double firstBlast[2] = {-2.25, 1.0};
  squadron.spawnExplosion(firstBlast, 0.6, true);  // switches the explosion light on
  squadron.explosions.clear();
  for (int i = 0; i < 10; ++i)
    squadron.explosions.push_back({-2.25 + 0.5 * i, 1.0, 0.15 * (i % 3), 0.6, true});
  for (int i = 0; i < 3; ++i)
    squadron.explosions.push_back(
        {squadron.aircraft[i].x + 0.2, squadron.aircraft[i].y - 0.3, 0.05, 0.1, false});

  // The shell five frames after firing, so the cannon flash and light are still on.
  const double heading = tank.shellHeading * 0.017453292519943295;
  tank.shellX = tank.x + 5 * 0.1 * std::cos(heading);
  tank.shellY = 5 * 0.1 * std::sin(heading);
  tank.reload = 495;
  tank.gunPhase = 0;  // each frame starts a burst: gun lights on, muzzle flashes drawn

  game.score = 52400;  // five aircraft in the air is the top score band
  game.kills = 230;
  game.escapes = 12;
  game.helpShown = true;
  game.paused = false;
  peak = capture();
}

// True when a frame of the peak scene left it as full as it found it (bar the one step).
bool stillAtPeak() {
  return squadron.aircraft.size() == 5 && squadron.bombs.size() >= 20 &&
         squadron.explosions.size() == 13 && !squadron.isGameOver() && tank.health == 250 &&
         tank.shellInFlight && tank.reload > 490 && tank.gunPhase == 1 && game.kills == peak.kills;
}

void setBareScene() {
  squadron.aircraft.clear();
  squadron.bombs.clear();
  squadron.explosions.clear();
  squadron.explosionLightOn = false;
  squadron.gameOver = true;
  tank.gunsFiring = false;
  tank.shellInFlight = false;
  for (GLenum light : {GL_LIGHT1, GL_LIGHT2, GL_LIGHT3, GL_LIGHT4})
    glDisable(light);
  game.helpShown = false;
  game.paused = false;
}

// The first frame of the peak scene, with and without the help page, as the window shows it:
// an optimisation of the drawing must leave these files byte for byte the same.
bool writePeakPictures(const std::filesystem::path& dir) {
  std::filesystem::create_directories(dir);
  for (const bool help : {true, false}) {
    restore(peak);
    game.helpShown = help;
    drawFrame();
    glFinish();
    const int w = game.windowWidth, h = game.windowHeight;
    std::vector<unsigned char> bottomUp(static_cast<std::size_t>(w) * h * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    std::vector<unsigned char> topDown(bottomUp.size());
    const std::size_t row = static_cast<std::size_t>(w) * 3;
    for (int y = 0; y < h; ++y)
      std::copy_n(&bottomUp[(h - 1 - y) * row], row, &topDown[y * row]);
    glutSwapBuffers();
    if (!tools::writePng(dir / (help ? "peak_help.png" : "peak.png"), w, h, 3, topDown))
      return false;
  }
  return true;
}

void presentFrame() {
  drawFrame();
  glutSwapBuffers();
  glFinish();
}

// Median milliseconds per frame over one run; the peak scene is restored before every frame,
// outside the timed span. The median, not the mean, so a stall caused by another process on
// the machine does not move the figure.
double timeRun(bool atPeak, const FrameBenchOptions& options, bool& peakHeld) {
  for (int i = 0; i < options.warmUpFrames; ++i) {
    if (atPeak) restore(peak);
    presentFrame();
  }
  std::vector<double> frames;
  frames.reserve(static_cast<std::size_t>(options.framesPerRun));
  for (int i = 0; i < options.framesPerRun; ++i) {
    if (atPeak) restore(peak);
    const auto start = Clock::now();
    presentFrame();
    frames.push_back(millisecondsSince(start));
    if (atPeak && !stillAtPeak()) peakHeld = false;
  }
  return summarise(frames).median;
}

// The frame's steps in drawFrame's order, with glFinish after each so every step's
// rasterisation is charged to it. Slower than a real frame (no overlap between steps).
enum Step {
  kClear,
  kPanel,
  kBackdrop,
  kExplosions,
  kAircraft,
  kBombs,
  kTankStep,
  kTankDraw,
  kHelp,
  kSwap,
  kStepCount
};
constexpr const char* kStepNames[kStepCount] = {
    "clear",     "panel", "view, sun, backdrop",        "explosions",
    "aircraft",  "bombs", "tank update (cannon, guns)", "tank draw",
    "help page", "swap"};
constexpr const char* kStepKeys[kStepCount] = {"clear",    "panel", "backdrop",    "explosions",
                                               "aircraft", "bombs", "tank_update", "tank_draw",
                                               "help",     "swap"};

void frameInSteps(std::array<double, kStepCount>& ms) {
  auto lap = [&ms](Step step, Clock::time_point& start) {
    glFinish();
    ms[step] += millisecondsSince(start);
    start = Clock::now();
  };
  auto start = Clock::now();
  const int panelWidth = panelWidthFor(game.windowWidth);
  const int sceneWidth = game.windowWidth - panelWidth;
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  lap(kClear, start);
  setPanelView(panelWidth);
  drawPanel(squadron.isGameOver(), game.score, tank.health, tank.reload, game.kills, game.escapes);
  lap(kPanel, start);
  setSceneView(panelWidth, sceneWidth);
  glPushMatrix();
  lookThroughCamera();
  applyLight(GL_LIGHT0, sunLight);
  drawBackdrop();
  lap(kBackdrop, start);
  squadron.explosionPass(game.paused);
  lap(kExplosions, start);
  squadron.aircraftPass(game.paused);
  squadron.removeDeadAircraft();
  lap(kAircraft, start);
  squadron.bombPass(game.paused);
  lap(kBombs, start);
  if (!squadron.isGameOver()) {
    if (!game.paused) {
      tank.updateCannon();
      tank.updateGuns();
    }
    lap(kTankStep, start);
    tank.draw();
  }
  lap(kTankDraw, start);
  if (game.helpShown) drawHelpOverlay();
  lap(kHelp, start);
  glPopMatrix();
  glutSwapBuffers();
  lap(kSwap, start);
}

void stepRows(bool atPeak, int frames, Report& report) {
  std::array<std::vector<double>, kStepCount> samples;
  for (int i = 0; i < frames; ++i) {
    if (atPeak) restore(peak);
    std::array<double, kStepCount> ms{};
    frameInSteps(ms);
    for (int s = 0; s < kStepCount; ++s)
      samples[s].push_back(ms[s]);
  }
  const std::string prefix = atPeak ? "peak" : "bare";
  for (int s = 0; s < kStepCount; ++s) {
    const Figure f = summarise(samples[s]);
    if (!atPeak && f.median < 0.02) continue;  // steps a bare frame does not have
    report.add({prefix + "_step_" + kStepKeys[s] + "_ms",
                "  " + prefix + " step: " + kStepNames[s],
                "ms",
                f,
                "",
                {},
                3});
  }
}

// Every image and mesh the game loads, in its load order.
constexpr const char* kImages[] = {"bomb.bmp",       "explosion.bmp",    "target.bmp",
                                   "targetMask.bmp", "muzzle_flash.bmp", "muzzle_flash_mask.bmp",
                                   "desert05.bmp",   "numNeg.bmp",       "num0.bmp",
                                   "num1.bmp",       "num2.bmp",         "num3.bmp",
                                   "num4.bmp",       "num5.bmp",         "num6.bmp",
                                   "num7.bmp",       "num8.bmp",         "num9.bmp",
                                   "Start.bmp",      "GameOver.bmp",     "Cannon.bmp",
                                   "Reloading.bmp",  "Score.bmp",        "Health.bmp",
                                   "Kills.bmp",      "Escapes.bmp",      "help.bmp",
                                   "help_mask.bmp"};
struct MeshFile {
  const char* file;
  int firstIndex;
};
constexpr MeshFile kMeshes[] = {{"cessna500.m", 1}, {"Tank.m", 0}, {"Wheel.m", 0}};
constexpr TextureId kScratchTextures = 9000;  // out of the game's range

// loadTexture announces every file on stdout; the table should not be interleaved with that.
class QuietStdout {
 public:
  QuietStdout() {
    std::fflush(stdout);
    saved_ = dup(STDOUT_FILENO);
    const int devNull = open("/dev/null", O_WRONLY);
    dup2(devNull, STDOUT_FILENO);
    close(devNull);
  }
  ~QuietStdout() {
    std::fflush(stdout);
    dup2(saved_, STDOUT_FILENO);
    close(saved_);
  }

 private:
  int saved_ = -1;
};

void loadRows(int runs, Report& report) {
  std::vector<double> images, meshes;
  for (int run = 0; run < runs; ++run) {
    {
      QuietStdout quiet;
      auto start = Clock::now();
      TextureId id = kScratchTextures;
      for (const char* file : kImages)
        loadTexture(std::string("./Resources/") + file, id++);
      glFinish();
      images.push_back(millisecondsSince(start));
    }
    auto start = Clock::now();
    for (const MeshFile& m : kMeshes) {
      Mesh mesh;
      mesh.load(std::string("./Resources/") + m.file, m.firstIndex);
    }
    meshes.push_back(millisecondsSince(start));
  }
  std::vector<double> both(images.size());
  for (std::size_t i = 0; i < both.size(); ++i)
    both[i] = images[i] + meshes[i];
  report.add({"load_resources_ms",
              "start-up: load 28 images + 3 meshes, in process",
              "ms",
              summarise(both),
              "",
              {},
              2});
  report.add({"load_images_ms", "  28 images (read + upload)", "ms", summarise(images), "", {}, 2});
  report.add({"load_meshes_ms", "  3 meshes", "ms", summarise(meshes), "", {}, 2});
}

std::string renderer;

}  // namespace

std::string rendererName() {
  return renderer;
}

bool runFrameBench(const FrameBenchOptions& options, Report& report) {
  static char name[] = "brambleshot-bench";
  static char* argv[] = {name, nullptr};
  int argc = 1;
  {
    QuietStdout quiet;
    startUp(&argc, argv);
  }
  glutIdleFunc(nullptr);
  glutDisplayFunc(displayNothing);
  for (int i = 0; i < 5; ++i)
    glutMainLoopEvent();
  if (const auto* text = glGetString(GL_RENDERER)) renderer = reinterpret_cast<const char*>(text);
  if (const auto* text = glGetString(GL_VERSION))
    renderer += std::string(", GL ") + reinterpret_cast<const char*>(text);
  brambleshot::srand(kSeed);
  buildPeakScene();
  if (!options.picturesDir.empty() && !writePeakPictures(options.picturesDir)) return false;

  std::vector<double> bare, full;
  bool peakHeld = true;
  for (int run = 0; run < options.runs; ++run) {
    setBareScene();
    bare.push_back(timeRun(false, options, peakHeld));
    restore(peak);
    game.helpShown = true;
    full.push_back(timeRun(true, options, peakHeld));
  }
  if (!peakHeld) {
    std::printf("the peak scene did not hold: %zu aircraft, %zu bombs, %zu explosions\n",
                squadron.aircraft.size(), squadron.bombs.size(), squadron.explosions.size());
    return false;
  }
  const Figure peakFigure = summarise(full);
  const Figure bareFigure = summarise(bare);
  std::vector<double> ratios(full.size());
  for (std::size_t i = 0; i < ratios.size(); ++i)
    ratios[i] = full[i] / bare[i];
  const Figure ratio = summarise(ratios);
  const std::string frames = std::to_string(options.framesPerRun) + " frames/run";
  report.add({"frame_peak_ms", "frame at peak load, " + frames, "ms", peakFigure, "", {}, 3});
  report.add({"frame_bare_ms", "bare frame, " + frames, "ms", bareFigure, "", {}, 3});
  report.add({"frame_ratio", "peak / bare", "", ratio, "<= 1.30", ratio.median <= 1.3, 2});
  // Pace: a faster frame gives a higher pace, so min and max swap over.
  auto addPace = [&report](const char* key, const char* label, const Figure& frame) {
    report.add({key,
                label,
                "%",
                {100 * paceFraction(frame.median), 100 * paceFraction(frame.max),
                 100 * paceFraction(frame.min), frame.runs},
                "",
                {},
                1});
  };
  addPace("pace_peak_percent", "pace at peak load, % of designed", peakFigure);
  addPace("pace_bare_percent", "pace of a bare frame, % of designed", bareFigure);

  restore(peak);
  game.helpShown = true;
  stepRows(true, options.framesPerRun / 2, report);
  setBareScene();
  stepRows(false, options.framesPerRun / 2, report);

  loadRows(options.loadRuns, report);
  if (options.experiments) {
    runExperiments(
        options.framesPerRun / 3,
        [] {
          restore(peak);
          game.helpShown = true;
          presentFrame();
        },
        report);
  }
  return true;
}

}  // namespace bench
