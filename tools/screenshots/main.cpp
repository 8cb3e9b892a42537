// screenshots: plays a seeded game with a simple autopilot and saves pictures of the start
// screen, a busy moment of play, the help page and the game-over screen.
//
//   screenshots [OUTPUT_DIR] [--frame-hashes FILE] [--frames FILE [--sample N]]
//               [--window WIDTHxHEIGHT] [--scenes]
//
// OUTPUT_DIR defaults to docs/screenshots; run it from the repository's root. With
// --frame-hashes it also writes a hash of every frame's pixels, one line per frame: an
// optimisation of the drawing must leave that file unchanged over the whole seeded game. With
// --frames it writes every frame as a PPM picture, one after another (a pipe to framediff
// saves the gigabytes), for a change that may move a few pixels; with --sample N only every
// Nth frame of play goes there, followed by each of the four pictures as it is saved (a quick
// comparison of two ways of drawing: the suite's). --window plays at another
// window size; the autopilot aims through window pixels, so that game takes its own course.
// --scenes saves the still scenes instead, quickly at any size: the start screen, a moment of
// play with the mute mark, the same paused, the help page and the game over with its
// best-score card; --frames then carries just those five pictures.
//
// It runs the game's own start-up and frames in a real window, so the pictures are exactly what
// the game draws; only the input comes from the autopilot instead of a player. The best scores
// come from a private folder holding a small made-up table, never the user's own, and the
// seeded game's entry is dated on a fixed day, so the pictures are the same on every run.
#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "app/best_scores.h"
#include "app/frame.h"
#include "app/input.h"
#include "app/options.h"
#include "app/startup.h"
#include "autopilot.h"
#include "enemies/squadron.h"
#include "png_writer.h"
#include "ppm_stream.h"
#include "tank/tank.h"
#include "world/game.h"
#include "world/random.h"

namespace {

using namespace brambleshot;

constexpr std::uint32_t kSeed = 20261206;
constexpr int kMaxFrames = 60000;
constexpr std::time_t kScoreDay = 1796558400;  // 2026-12-06, noon UTC
constexpr const char* kScoreTable =
    "brambleshot scores 1\n"
    "6400 31 2026-11-28\n"
    "3850 19 2026-12-01\n"
    "2200 11 2026-12-03\n"
    "750 4 2026-12-05\n";

// A private data folder with the made-up table; removed at exit.
struct ScoreFolder {
  std::filesystem::path path;
  ScoreFolder() {
    char name[] = "/tmp/brambleshot-screenshots-XXXXXX";
    if (!mkdtemp(name)) return;
    path = name;
    std::filesystem::create_directories(path / "brambleshot");
    std::ofstream(path / "brambleshot" / "scores") << kScoreTable;
    setenv("XDG_DATA_HOME", name, 1);
  }
  ~ScoreFolder() {
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove_all(path, ignored);
  }
};

// A frame as the display callback makes it, without the swap.
void displayFrame() {
  drawFrame();
  noteFinishedGame();
}

void displayNothing() {}

// The frame just drawn, bottom row first.
void readFrame(std::vector<unsigned char>& pixels) {
  pixels.resize(static_cast<std::size_t>(game.windowWidth) * game.windowHeight * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, game.windowWidth, game.windowHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
}

// The frame just drawn, top row first, as pictures are written.
void readFrameTopDown(std::vector<unsigned char>& topDown) {
  static std::vector<unsigned char> bottomUp;
  readFrame(bottomUp);
  topDown.resize(bottomUp.size());
  const std::size_t stride = static_cast<std::size_t>(game.windowWidth) * 3;
  for (int y = 0; y < game.windowHeight; ++y)
    std::copy_n(&bottomUp[(game.windowHeight - 1 - y) * stride], stride, &topDown[y * stride]);
}

// 64-bit FNV-1a of the frame just drawn, written as one line of hex; and the frame itself.
std::ofstream frameHashes;
std::FILE* frameStream = nullptr;
int sampleEvery = 0;  // --sample: 0 streams every frame
bool scenesOnly = false;
int framesPlayed = 0;

void streamFrame(const std::vector<unsigned char>& topDown) {
  if (!tools::writePpm(frameStream, game.windowWidth, game.windowHeight, topDown.data())) {
    std::fprintf(stderr, "screenshots: cannot write the frames\n");
    std::exit(1);
  }
}

void recordFrame() {
  static std::vector<unsigned char> pixels;
  ++framesPlayed;
  if (frameHashes.is_open()) {
    readFrame(pixels);
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char byte : pixels)
      hash = (hash ^ byte) * 1099511628211ull;
    char line[20];
    std::snprintf(line, sizeof line, "%016llx\n", static_cast<unsigned long long>(hash));
    frameHashes << line;
  }
  if (frameStream && !scenesOnly && (sampleEvery == 0 || framesPlayed % sampleEvery == 0)) {
    readFrameTopDown(pixels);
    streamFrame(pixels);
  }
}

bool savePicture(const std::filesystem::path& path) {
  std::vector<unsigned char> topDown;
  readFrameTopDown(topDown);
  if (frameStream && (sampleEvery > 0 || scenesOnly)) streamFrame(topDown);
  const bool ok = tools::writePng(path, game.windowWidth, game.windowHeight, 3, topDown);
  if (ok) std::printf("wrote %s\n", path.c_str());
  return ok;
}

// One frame of play: the idle callback's launch chance, the autopilot's input, the frame.
void playFrame(bool seekBombs) {
  offerLaunch();
  static constexpr tools::AutopilotInput kInput = {
      onMotion,
      [](bool held) { onMouse(GLUT_LEFT_BUTTON, held ? GLUT_DOWN : GLUT_UP, 0, 0); },
      [](unsigned char key) { onKeyboard(key, 0, 0); },
  };
  tools::autopilot(true, seekBombs, kInput);
  displayFrame();
  recordFrame();
}

bool busyMoment() {
  int largeExplosions = 0;
  for (const Explosion& e : squadron.explosions)
    if (e.maxRadius > 0.1 && e.radius > 0.2) ++largeExplosions;
  return squadron.aircraft.size() >= 2 && squadron.bombs.size() >= 2 && largeExplosions >= 1 &&
         tank.gunsFiring && tank.gunPhase == 1 && !squadron.isGameOver();
}

}  // namespace

int main(int argc, char** argv) {
  std::filesystem::path out = "docs/screenshots";
  Options options;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--frame-hashes") == 0 && i + 1 < argc) {
      frameHashes.open(argv[++i]);
      if (!frameHashes) {
        std::fprintf(stderr, "screenshots: cannot write %s\n", argv[i]);
        return 1;
      }
    } else if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) {
      frameStream = std::fopen(argv[++i], "wb");
      if (!frameStream) {
        std::fprintf(stderr, "screenshots: cannot write %s\n", argv[i]);
        return 1;
      }
    } else if (std::strcmp(argv[i], "--sample") == 0 && i + 1 < argc) {
      sampleEvery = std::atoi(argv[++i]);
      if (sampleEvery <= 0) {
        std::fprintf(stderr, "screenshots: --sample wants a whole number of frames\n");
        return 2;
      }
    } else if (std::strcmp(argv[i], "--scenes") == 0) {
      scenesOnly = true;
    } else if (std::strcmp(argv[i], "--window") == 0 && i + 1 < argc) {
      if (!parseWindowSize(argv[++i], options.windowWidth, options.windowHeight)) {
        std::fprintf(stderr, "screenshots: %s is not a window size\n", argv[i]);
        return 1;
      }
    } else {
      out = argv[i];
    }
  }
  std::filesystem::create_directories(out);
  const ScoreFolder scores;
  if (scores.path.empty()) {
    std::fprintf(stderr, "screenshots: cannot make a private score folder\n");
    return 1;
  }
  setScoreClock(kScoreDay);
  startUp(&argc, argv, options);
  // The tool draws its own frames: no idle pacing and no frames from window events.
  glutIdleFunc(nullptr);
  glutDisplayFunc(displayNothing);
  for (int i = 0; i < 5; ++i)
    glutMainLoopEvent();
  brambleshot::srand(kSeed);

  displayFrame();
  displayFrame();
  bool ok = savePicture(out / "start.png");

  onKeyboard('n', 0, 0);
  int frame = 0;
  if (scenesOnly) {
    while (frame < 400) {
      if (frame % 100 == 0) squadron.launchAircraft();
      playFrame(false);
      ++frame;
    }
    // Each key's picture; the keys after it take the game back to play, unmuted.
    const std::pair<const char*, const char*> stills[] = {
        {"m", "muted.png"}, {"p", "paused.png"}, {"ph", "help.png"}};
    for (const auto& [keys, name] : stills) {
      for (const char* key = keys; *key != '\0'; ++key)
        onKeyboard(static_cast<unsigned char>(*key), 0, 0);
      displayFrame();
      ok = savePicture(out / name) && ok;
    }
    onKeyboard('h', 0, 0);
    onKeyboard('m', 0, 0);
    tank.health = 50;  // the next bomb ends the game
  }
  // The scenes bring the end on sooner: aircraft come often and the tank seeks their bombs.
  while (scenesOnly && frame < kMaxFrames && !squadron.isGameOver()) {
    if (frame % 50 == 0) squadron.launchAircraft();
    playFrame(true);
    ++frame;
  }
  while (!scenesOnly && frame < kMaxFrames && !busyMoment()) {
    playFrame(false);
    ++frame;
  }
  if (!scenesOnly) {
    ok = savePicture(out / "playing.png") && ok;
    std::printf("busy moment after %d frames\n", frame);
    onKeyboard('h', 0, 0);
    displayFrame();
    ok = savePicture(out / "help.png") && ok;
    onKeyboard('h', 0, 0);
  }

  while (frame < 2 * kMaxFrames && !squadron.isGameOver()) {
    playFrame(true);
    ++frame;
  }
  for (int i = 0; i < 2; ++i)
    displayFrame();  // the tank's explosion swells
  ok = savePicture(out / "gameover.png") && ok;
  std::printf("game over after %d frames\n", frame);
  if (frameStream && std::fclose(frameStream) != 0) ok = false;
  return ok ? 0 : 1;
}
