// The scripted minute: the seeded game played by the tools' autopilot through the game's own
// start-up, idle and display callbacks, at the game's own pace (OpenAL Soft's wave backend mixes
// in real time, so the world must step as often as in play), heard by its real sound player.
#include "record.h"

#include <GL/freeglut.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "app/frame.h"
#include "app/input.h"
#include "app/options.h"
#include "app/startup.h"
#include "audio/sound_player.h"
#include "autopilot.h"
#include "enemies/squadron.h"
#include "host/host.h"
#include "world/game.h"

namespace soundreport {

namespace {

using namespace brambleshot;

constexpr std::uint32_t kSeed = 20261208;

// What the player does, by step (one step about every 5 ms while playing; a paused step is a
// 5 ms wait): start a game, play with the guns, pause, mute, then seek bombs until the tank is
// destroyed, and start again a little after every game's end.
constexpr long kNewGame = 100;
constexpr long kPause = 1500, kResume = 1800;
constexpr long kMute = 4000, kUnmute = 4200;
constexpr long kSeekBombs = 4600;
constexpr long kNewGameAfterEnd = 300;  // steps after the tank is destroyed
constexpr long kLaunchEvery = 400;      // an aircraft more than the idle call's chances bring

// The mixer's clock at each mark, printed at the end so that a measurement can find them.
struct Mark {
  const char* what;
  long step;
  double at;
};

void pressKey(unsigned char key) {
  onKeyboard(key, 0, 0);
  // Every key asks for a frame; while paused no idle call follows to draw it.
  if (game.paused) onDisplay();
}

void nothing() {}

}  // namespace

bool recordPlay(const std::string& path, double seconds) {
  char folder[] = "/tmp/soundreport-XXXXXX";
  if (!mkdtemp(folder)) {
    std::fprintf(stderr, "soundreport: cannot make a private folder\n");
    return false;
  }
  // OpenAL Soft reads its configuration when the player opens the device: here it is the wave
  // backend writing to path. The best scores go to the private folder, never the user's.
  const std::string config = std::string(folder) + "/alsoft.conf";
  std::ofstream(config) << "[general]\ndrivers=wave\nchannels=stereo\nfrequency=44100\n"
                        << "[wave]\nfile=" << std::filesystem::absolute(path).string() << "\n";
  setenv("ALSOFT_CONF", config.c_str(), 1);
  setenv("ALSOFT_DRIVERS", "wave", 1);
  setenv("XDG_DATA_HOME", folder, 1);

  static char name[] = "soundreport";
  static char* argv[] = {name, nullptr};
  int argc = 1;
  Options options;
  options.seed = kSeed;
  // The start-up names every picture it loads on standard output: not the report's business.
  std::fflush(stdout);
  const int out = dup(STDOUT_FILENO), quiet = open("/dev/null", O_WRONLY);
  dup2(quiet, STDOUT_FILENO);
  startUp(&argc, argv, options);
  std::fflush(stdout);
  dup2(out, STDOUT_FILENO);
  close(out);
  close(quiet);
  if (!soundPlayer.isOpen()) {
    std::fprintf(stderr, "soundreport: the sound did not open\n");
    std::filesystem::remove_all(folder);
    return false;
  }
  // The tool runs the callbacks itself; the window's own events draw nothing.
  glutIdleFunc(nullptr);
  glutDisplayFunc(nothing);

  static constexpr tools::AutopilotInput kInput = {
      onMotion,
      [](bool held) { onMouse(GLUT_LEFT_BUTTON, held ? GLUT_DOWN : GLUT_UP, 0, 0); },
      [](unsigned char key) { onKeyboard(key, 0, 0); },
  };
  std::vector<Mark> marks;
  long gameOverAt = -1, frames = 0, step = 0;
  const auto mark = [&](const char* what) {
    marks.push_back({what, step, soundPlayer.mixedSeconds()});
  };
  bool destroyedSeeking = false;  // the tank has been brought down by seeking bombs
  for (; soundPlayer.mixedSeconds() < seconds; ++step) {
    const std::pair<long, const char*> keys[] = {
        {kNewGame, "n"}, {kPause, "p"}, {kResume, "p"}, {kMute, "m"}, {kUnmute, "m"}};
    for (const auto& [at, key] : keys)
      if (step == at) {
        pressKey(static_cast<unsigned char>(*key));
        mark(*key == 'n'   ? "new game"
             : *key == 'p' ? (game.paused ? "pause" : "resume")
                           : (soundPlayer.isMuted() ? "mute" : "unmute"));
      }
    if (step > kNewGame && squadron.isGameOver() && gameOverAt < 0) {
      gameOverAt = step;
      destroyedSeeking = destroyedSeeking || step >= kSeekBombs;
      mark("tank destroyed");
    }
    if (gameOverAt >= 0 && step >= gameOverAt + kNewGameAfterEnd && !game.paused) {
      gameOverAt = -1;
      pressKey('n');
      mark("new game");
    }
    if (game.paused) {
      host::pauseBetweenSteps();
      continue;
    }
    if (step % kLaunchEvery == 0) squadron.launchAircraft();
    onIdle();
    // Bombs are sought once: the game after that plays on with the guns.
    const bool seekBombs = step >= kSeekBombs && !destroyedSeeking;
    tools::autopilot(!squadron.isGameOver(), seekBombs, kInput);
    onDisplay();
    ++frames;
  }
  mark("end");
  soundPlayer.close();  // the wave backend writes the file's sizes when it closes
  std::filesystem::remove_all(folder);

  std::printf("recorded %s: %ld frames\n", path.c_str(), frames);
  for (const Mark& m : marks)
    std::printf("  %-15s %7.3f s  (step %ld)\n", m.what, m.at, m.step);
  return std::filesystem::exists(path);
}

}  // namespace soundreport
