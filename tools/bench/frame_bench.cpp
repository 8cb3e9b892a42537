// Drives the real game's frames by hand: the game's start-up opens the window, then each
// measured frame is drawFrame() + glutSwapBuffers() + glFinish(), timed on the wall clock
// (llvmpipe rasterises on worker threads, so CPU time would miss most of it). The scene is
// restored before every frame, outside the timed span.
#include "frame_bench.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/input.h"
#include "app/startup.h"
#include "assets/bitmap.h"
#include "assets/mesh.h"
#include "enemies/squadron.h"
#include "experiments.h"
#include "pace_bench.h"
#include "panel/panel.h"
#include "png_writer.h"
#include "scenes.h"
#include "tank/tank.h"
#include "timing.h"
#include "world/game.h"
#include "world/lighting.h"
#include "world/random.h"

namespace bench {

namespace {

using namespace brambleshot;

constexpr std::uint32_t kSeed = 20261206;

void displayNothing() {}

// The first frame of the peak scene, with and without the help page, as the window shows it:
// an optimisation of the drawing must leave these files byte for byte the same.
bool writePeakPictures(const Scene& peak, const std::filesystem::path& dir) {
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

// Median milliseconds per frame over one run. The median, not the mean, so a stall caused by
// another process on the machine does not move the figure.
double timeRun(const Scene& scene, const FrameBenchOptions& options, bool& held) {
  for (int i = 0; i < options.warmUpFrames; ++i) {
    restore(scene);
    presentFrame();
  }
  std::vector<double> frames;
  frames.reserve(static_cast<std::size_t>(options.framesPerRun));
  for (int i = 0; i < options.framesPerRun; ++i) {
    restore(scene);
    const auto start = Clock::now();
    presentFrame();
    frames.push_back(millisecondsSince(start));
    if (!stillHolds(scene)) held = false;
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

void stepRows(const Scene& scene, int frames, Report& report) {
  std::array<std::vector<double>, kStepCount> samples;
  for (int i = 0; i < frames; ++i) {
    restore(scene);
    std::array<double, kStepCount> ms{};
    frameInSteps(ms);
    for (int s = 0; s < kStepCount; ++s)
      samples[s].push_back(ms[s]);
  }
  const std::string prefix = sceneName(scene.kind);
  for (int s = 0; s < kStepCount; ++s) {
    const Figure f = summarise(samples[s]);
    if (f.median < 0.02) continue;  // steps the scene does not have
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
  // A private, empty data folder: the benchmark never touches the player's best scores.
  static struct DataHome {
    char path[32] = "/tmp/brambleshot-bench-XXXXXX";
    DataHome() {
      if (mkdtemp(path)) setenv("XDG_DATA_HOME", path, 1);
    }
    ~DataHome() {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
  } dataHome;
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
  const Scene peak = buildScene(SceneKind::peak);
  if (!options.picturesDir.empty() && !writePeakPictures(peak, options.picturesDir)) return false;

  if (options.pace.runs > 0 && !runPaceBench(options.pace, report)) return false;
  if (!options.frameTimes) return true;

  const std::array<Scene, 3> scenes = {buildScene(SceneKind::bare), buildScene(SceneKind::typical),
                                       peak};
  std::array<std::vector<double>, 3> medians;
  bool held = true;
  for (int run = 0; run < options.runs; ++run)
    for (std::size_t s = 0; s < scenes.size(); ++s)
      medians[s].push_back(timeRun(scenes[s], options, held));
  if (!held) {
    std::printf("a timed scene did not hold: %zu aircraft, %zu bombs, %zu explosions\n",
                squadron.aircraft.size(), squadron.bombs.size(), squadron.explosions.size());
    return false;
  }
  const std::string frames = std::to_string(options.framesPerRun) + " frames/run";
  for (std::size_t s = 0; s < scenes.size(); ++s) {
    const std::string name = sceneName(scenes[s].kind);
    report.add({"frame_" + name + "_ms",
                "frame, " + name + ", " + frames,
                "ms",
                summarise(medians[s]),
                "",
                {},
                3});
  }

  stepRows(peak, options.framesPerRun / 2, report);
  stepRows(scenes[0], options.framesPerRun / 2, report);

  loadRows(options.loadRuns, report);
  if (options.experiments) {
    runExperiments(
        options.framesPerRun / 3,
        [&peak] {
          restore(peak);
          presentFrame();
        },
        report);
  }
  return true;
}

}  // namespace bench
