// demos: makes the committed test demos by scripted play (`make demos` after an intended change
// of the world), and brings their last pictures up to date after an intended change of the
// pictures (`make demo-pictures`).
//
//   demos record gameover|chains|pauses FILE [SEED]
//                                              plays a seeded, scripted game and records it
//                                              (the committed demo's seed unless given)
//   demos pictures FILE                        replays FILE; if every frame's world matches,
//                                              rewrites the hash of its last picture
//   demos picture FILE OUT.png                 replays FILE and saves its last picture (what
//                                              the browser's replay is compared with)
//
// Run from the repository's root with an X display; one demo per run. The recording goes
// through the game's own recording callbacks, exactly as a player's would; only the input
// comes from a script instead of a player.
#include <GL/freeglut.h>

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "app/demos.h"
#include "app/frame.h"
#include "app/startup.h"
#include "autopilot.h"
#include "demo/demo.h"
#include "enemies/squadron.h"
#include "png_writer.h"
#include "tank/tank.h"
#include "world/game.h"

namespace {

using namespace brambleshot;

constexpr int kMaxFrames = 3000;

// One frame as the game's main loop makes it: the idle call (unless paused), then input, then
// the frame.
template <typename Input>
void frame(Input input) {
  if (!game.paused) recordIdle();
  input();
  recordDisplay();
}

// The shared autopilot, its input going through the recording callbacks.
void autopilot(bool shoot, bool seekBombs) {
  static constexpr tools::AutopilotInput kInput = {
      recordMotion,
      [](bool held) { recordMouse(GLUT_LEFT_BUTTON, held ? GLUT_DOWN : GLUT_UP, 200, 100); },
      [](unsigned char key) { recordKeyboard(key, 200, 100); },
  };
  tools::autopilot(shoot, seekBombs, kInput);
}

// A game played to its end: the tank holds its fire and seeks the bombs out.
void playToGameOver() {
  frame([] { recordKeyboard('n', 200, 150); });
  for (int i = 0; i < kMaxFrames && !squadron.isGameOver(); ++i)
    frame([] { autopilot(false, true); });
  for (int i = 0; i < 60; ++i)
    frame([] {});  // the wreck's explosion plays out
}

// Shooting until blasts have destroyed two more targets: a blast's kill scores 75 (a bomb) or
// 250 (an aircraft), gunfire and the shell 50 or 200.
void playChains() {
  frame([] { recordKeyboard('n', 200, 150); });
  int chained = 0;
  for (int i = 0; i < kMaxFrames && chained < 2; ++i) {
    const int before = game.score;
    frame([] { autopilot(true, false); });
    const int gain = game.score - before;
    if (gain % 50 != 0 || gain == 250 || gain == 450) ++chained;
  }
  for (int i = 0; i < 40; ++i)
    frame([] { autopilot(true, false); });
}

// Pauses, the help page and keys that do nothing, between stretches of play.
void playPauses() {
  auto play = [](int frames) {
    for (int i = 0; i < frames; ++i)
      frame([] { autopilot(true, false); });
  };
  frame([] { recordKeyboard('n', 200, 150); });
  play(300);
  frame([] { recordKeyboard('p', 200, 150); });
  for (int i = 0; i < 5; ++i)
    frame([i] { recordMotion(150 + 10 * i, 80); });  // aiming goes on while paused
  frame([] { recordKeyboard('a', 200, 150); });      // refused while paused
  frame([] { recordMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 150, 80); });
  frame([] { recordKeyboard('p', 200, 150); });
  play(100);
  frame([] { recordKeyboard('h', 200, 150); });
  frame([] { recordKeyboard('N', 200, 150); });
  frame([] { recordKeyboard('p', 200, 150); });  // the game runs under the help page
  play(100);
  frame([] { recordKeyboard('h', 200, 150); });
  frame([] { recordKeyboard('n', 200, 150); });  // refused: a game is running
  frame([] { recordReshape(320, 240); });
  play(100);
  frame([] { recordReshape(400, 300); });
  play(50);
}

struct Script {
  const char* name;
  void (*play)();
  std::uint32_t seed;  // the committed demo's: chosen for a short game that shows the point
  int width;           // small windows replay quickly in the test suite; the benchmark
  int height;          // replays chains at the game's own size
};
constexpr Script kScripts[] = {
    {"gameover", playToGameOver, 4, 400, 300},
    {"chains", playChains, 4, 800, 600},
    {"pauses", playPauses, 20261207, 400, 300},
};

int record(const std::string& name, std::string file, const char* seedText, int argc, char** argv) {
  const Script* script = nullptr;
  for (const Script& s : kScripts)
    if (name == s.name) script = &s;
  if (!script) {
    std::fprintf(stderr, "demos: no script called '%s'\n", name.c_str());
    return 2;
  }
  Options options;
  options.recordFile = file;
  options.seed =
      seedText ? static_cast<std::uint32_t>(std::strtoul(seedText, nullptr, 10)) : script->seed;
  options.windowWidth = script->width;
  options.windowHeight = script->height;
  if (!prepareDemo(options)) return 1;
  startUp(&argc, argv, options);
  startRecording();
  for (int i = 0; i < 5; ++i)
    glutMainLoopEvent();  // the window's first events, recorded like a player's
  script->play();
  std::printf("%s: score %d, kills %d, escapes %d, %s\n", file.c_str(), game.score, game.kills,
              game.escapes, squadron.isGameOver() ? "game over" : "playing");
  completeRecording();
  return recordingStatus() == 0 ? 0 : 1;
}

// With savePng, the last picture is saved there instead.
int updatePicture(const std::string& file, int argc, char** argv, const char* savePng = nullptr) {
  Demo demo;
  std::string error;
  if (!loadDemo(file, demo, error)) {
    std::fprintf(stderr, "demos: %s\n", error.c_str());
    return 1;
  }
  if (!demo.finished) {
    std::fprintf(stderr, "demos: %s has no end line to update\n", file.c_str());
    return 1;
  }
  Options options;
  options.playFile = file;  // a replay: the best scores are neither shown nor entered
  options.seed = demo.seed;
  options.windowWidth = demo.windowWidth;
  options.windowHeight = demo.windowHeight;
  startUp(&argc, argv, options);
  const ReplayResult result = replayDemo(demo, true);
  if (result.stoppedBecause) {
    std::fprintf(stderr, "demos: %s: the replay was stopped (%s)\n", file.c_str(),
                 result.stoppedBecause);
    return 1;
  }
  if (result.divergedAt > 0) {
    std::fprintf(stderr,
                 "demos: %s: the world diverges at frame %d: not a change of the pictures; "
                 "record the demo again (make demos)\n",
                 file.c_str(), result.divergedAt);
    return 1;
  }
  if (!result.pictureCompared) {
    std::fprintf(stderr, "demos: %s: the window is %dx%d, not the demo's size\n", file.c_str(),
                 result.windowWidth, result.windowHeight);
    return 1;
  }
  if (savePng != nullptr) {
    // Top row first, as pictures are written.
    const int w = result.windowWidth, h = result.windowHeight;
    std::vector<unsigned char> topDown;
    for (int y = h - 1; y >= 0; --y)
      topDown.insert(topDown.end(), result.pixels.begin() + static_cast<std::ptrdiff_t>(y) * w * 3,
                     result.pixels.begin() + static_cast<std::ptrdiff_t>(y + 1) * w * 3);
    if (!tools::writePng(savePng, w, h, 3, topDown)) return 1;
    std::printf("wrote %s\n", savePng);
    return 0;
  }
  if (result.picture == demo.pictureHash) {
    std::printf("%s: the last picture is unchanged\n", file.c_str());
    return 0;
  }
  std::string text;
  {
    std::ifstream in(file, std::ios::binary);
    text.assign(std::istreambuf_iterator<char>(in), {});
  }
  const std::size_t end = text.rfind("\nend ") + 1;
  char line[64];
  std::snprintf(line, sizeof line, "end %zu %016" PRIx64 "\n", demo.frameChecksums.size(),
                result.picture);
  text.replace(end, std::string::npos, line);
  std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
  std::printf("%s: last picture %016" PRIx64 " (was %016" PRIx64 ")\n", file.c_str(),
              result.picture, demo.pictureHash);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "record") == 0) {
    int glutArgc = 1;
    return record(argv[2], argv[3], argc == 5 ? argv[4] : nullptr, glutArgc, argv);
  }
  if (argc == 3 && std::strcmp(argv[1], "pictures") == 0) {
    int glutArgc = 1;
    return updatePicture(argv[2], glutArgc, argv);
  }
  if (argc == 4 && std::strcmp(argv[1], "picture") == 0) {
    int glutArgc = 1;
    return updatePicture(argv[2], glutArgc, argv, argv[3]);
  }
  std::fprintf(stderr,
               "usage: demos record gameover|chains|pauses FILE [SEED]\n"
               "       demos pictures FILE\n"
               "       demos picture FILE OUT.png\n");
  return 2;
}
