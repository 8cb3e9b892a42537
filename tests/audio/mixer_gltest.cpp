// The sound on a real mixer: OpenAL Soft's wave backend writes what it mixes to a file, and a
// scripted game is judged by that file. Events are placed in the output by the device's clock
// (how much it had mixed when the event happened), so the machine's load cannot blur them.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/frame.h"
#include "app/input.h"
#include "audio/sound_player.h"
#include "enemies/squadron.h"
#include "panel/panel.h"
#include "support/gl_env.h"
#include "support/test_util.h"
#include "tank/tank.h"
#include "world/events.h"
#include "world/game.h"
#include "world/random.h"

namespace {

using namespace brambleshot;

struct Heard {
  GameEvent event;
  double at;  // seconds into the mix
};

// The mixer's output, 44.1 kHz stereo as 32-bit floats (OpenAL Soft's default for the wave
// backend), channel 0 on the left.
struct Mix {
  std::vector<float> left, right;
  static constexpr int kRate = 44100;

  explicit Mix(const std::string& bytes) {
    std::size_t offset = 12;
    while (offset + 8 <= bytes.size()) {
      std::uint32_t length = 0;
      std::memcpy(&length, bytes.data() + offset + 4, 4);
      if (bytes.compare(offset, 4, "data") == 0) {
        const std::size_t frames = (bytes.size() - offset - 8) / 8;  // all of it, even unclosed
        for (std::size_t i = 0; i < frames; ++i) {
          float pair[2];
          std::memcpy(pair, bytes.data() + offset + 8 + i * 8, 8);
          left.push_back(pair[0]);
          right.push_back(pair[1]);
        }
        return;
      }
      offset += 8 + length;
    }
  }
  double seconds() const { return static_cast<double>(left.size()) / kRate; }
  // Root mean square of one channel (or both: -1) over [from, to) seconds.
  double rms(double from, double to, int channel = -1) const {
    const auto a = static_cast<std::size_t>(std::max(0.0, from) * kRate);
    const auto b = std::min(left.size(), static_cast<std::size_t>(to * kRate));
    double sum = 0.0;
    for (std::size_t i = a; i < b; ++i) {
      if (channel != 1) sum += left[i] * left[i];
      if (channel != 0) sum += right[i] * right[i];
    }
    return b > a ? std::sqrt(sum / static_cast<double>((b - a) * (channel < 0 ? 2 : 1))) : 0.0;
  }
};

class Mixer : public ::testing::Test {
 protected:
  static inline testenv::TempDir* dir = nullptr;
  static inline std::vector<Heard> heard;

  static void SetUpTestSuite() {
    dir = new testenv::TempDir;
    const std::string config = (*dir / "alsoft.conf").string();
    testenv::writeFile(config,
                       "[general]\ndrivers=wave\nchannels=stereo\nfrequency=44100\n"
                       "[wave]\nfile=" +
                           (*dir / "mix.wav").string() + "\n");
    // Read by OpenAL Soft when it is first used, which is in these tests.
    setenv("ALSOFT_CONF", config.c_str(), 1);
    setenv("ALSOFT_DRIVERS", "wave", 1);
    testenv::captureStdout([] {
      testenv::loadAllTextures();
      squadron.init(tankHitTest, game.score, game.kills, game.escapes);
      tank.init(camera);
      if (hudPanel.labelsList == 0) buildPanelLists();
    });
  }
  static void TearDownTestSuite() { delete dir; }

  static void listen(GameEvent event, double x) {
    heard.push_back({event, soundPlayer.mixedSeconds()});
    soundPlayer.play(event, x);
  }

  void SetUp() override {
    testenv::resizeWindow(800, 600);
    brambleshot::srand(299);
    squadron.aircraft.clear();
    squadron.bombs.clear();
    squadron.explosions.clear();
    squadron.inFlight = 0;
    squadron.gameOver = false;
    tank.reset();
    game.paused = game.helpShown = false;
    heard.clear();
    soundPlayer.setMuted(false);
    ASSERT_TRUE(soundPlayer.open((testenv::sourceDir() / "Resources/sounds").string(), camera));
    setEventListener(listen);
  }
  void TearDown() override {
    setEventListener(nullptr);
    soundPlayer.close();
    soundPlayer.setMuted(false);
    if (game.paused) onKeyboard('p', 0, 0);
  }

  // Closes the device (which completes the file) and reads what was mixed.
  Mix finish() {
    soundPlayer.close();
    return Mix(testenv::readFile(*dir / "mix.wav"));
  }
  static void frames(int n) {
    for (int i = 0; i < n; ++i) {
      drawFrame();
      updateSound();
    }
  }
  // Lets the mixer run on for the given number of seconds of output.
  static double mixFor(double seconds) {
    const double end = soundPlayer.mixedSeconds() + seconds;
    while (soundPlayer.mixedSeconds() < end)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return soundPlayer.mixedSeconds();
  }
  // A bomb just above the ground at x, and frames until it has hit: the time it was heard.
  static double bombHitsGround(double x) {
    squadron.bombs.push_back(Bomb{.x = x, .y = 0.015});
    const std::size_t before = heard.size();
    for (int i = 0; i < 5 && heard.size() == before; ++i)
      frames(1);
    EXPECT_GT(heard.size(), before);
    return heard.size() > before ? heard[before].at : 0.0;
  }
  static void gunBurst() {
    tank.gunsFiring = true;
    frames(1);
    tank.gunsFiring = false;
    frames(3);
  }
};

constexpr double kSilent = 1e-4;  // RMS; a sound at its quietest is far above this
constexpr double kHeard = 0.005;

TEST_F(Mixer, EventsAreHeardFromTheirFrameAndNotBefore) {
  const double quietUntil = mixFor(0.3);
  onKeyboard('m', 0, 0);  // muted: nothing of what follows is heard
  EXPECT_TRUE(soundPlayer.isMuted());
  gunBurst();
  bombHitsGround(0.0);
  const double mutedUntil = mixFor(0.5);
  onKeyboard('m', 0, 0);
  mixFor(0.2);
  heard.clear();

  gunBurst();
  mixFor(0.5);
  // An aircraft with one hit point under the aim point: the next burst brings it down.
  squadron.aircraft.push_back(Aircraft{.x = 1.0, .y = 2.0, .hitPoints = 1});
  squadron.inFlight = 1;
  tank.aimX = 1.0;
  tank.aimY = 2.05;
  gunBurst();
  mixFor(1.8);
  bombHitsGround(-1.0);
  mixFor(1.6);
  const std::vector<Heard> events = heard;
  const Mix mix = finish();

  ASSERT_GT(mix.seconds(), mutedUntil);
  EXPECT_LT(mix.rms(0.02, quietUntil), kSilent);
  EXPECT_LT(mix.rms(quietUntil, mutedUntil), kSilent);
  const GameEvent expected[] = {GameEvent::gunBurst,         GameEvent::gunBurst,
                                GameEvent::aircraftShotDown, GameEvent::largeExplosion,
                                GameEvent::bombHitsGround,   GameEvent::largeExplosion};
  ASSERT_EQ(events.size(), std::size(expected));
  for (std::size_t i = 0; i < events.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "event " << i << " at " << events[i].at << " s");
    EXPECT_EQ(events[i].event, expected[i]);
    EXPECT_GT(mix.rms(events[i].at, events[i].at + 0.1), kHeard);
    if (i == 0 || events[i].at > events[i - 1].at + 0.4) {
      EXPECT_LT(mix.rms(events[i].at - 0.15, events[i].at), kSilent);
    }
  }
}

TEST_F(Mixer, APauseHoldsWhatPlaysStartsNothingAndResumes) {
  const double boom = bombHitsGround(0.0);
  const double pausedAt = mixFor(0.2);
  onKeyboard('p', 0, 0);
  // While paused the world still ends a bomb below the ground; its sound is not started.
  squadron.bombs.push_back(Bomb{.x = 0.5, .y = -0.01});
  frames(2);
  EXPECT_TRUE(squadron.bombs.empty());
  const double resumedAt = mixFor(0.6);
  onKeyboard('p', 0, 0);
  mixFor(1.6);
  const Mix mix = finish();

  EXPECT_GT(mix.rms(boom, pausedAt - 0.05), kHeard);
  EXPECT_LT(mix.rms(pausedAt + 0.05, resumedAt), kSilent);
  // The held boom goes on where it stopped, at the level it had, and dies away.
  const double before = mix.rms(pausedAt - 0.1, pausedAt - 0.05);
  const double after = mix.rms(resumedAt + 0.05, resumedAt + 0.1);
  EXPECT_GT(after, before * 0.3);
  EXPECT_LT(after, before * 1.5);
  EXPECT_LT(mix.rms(mix.seconds() - 0.2, mix.seconds()), kSilent);
}

TEST_F(Mixer, TheEngineHumsWhileAircraftFly) {
  squadron.aircraft.push_back(Aircraft{.x = -1.0, .y = 3.1});
  squadron.inFlight = 1;
  frames(1);
  const double from = soundPlayer.mixedSeconds();
  const double gone = mixFor(0.5);
  squadron.aircraft.clear();
  squadron.inFlight = 0;
  frames(1);
  mixFor(0.3);
  const Mix mix = finish();
  EXPECT_GT(mix.rms(from + 0.05, gone), kHeard);
  EXPECT_LT(mix.rms(gone + 0.1, mix.seconds()), kSilent);
}

// Guns held down at the designed pace (a frame every 5 ms of output, a burst every four frames)
// stay well under a bomb's blast, so the rest is still heard through them.
TEST_F(Mixer, HeldGunsStayUnderABlast) {
  tank.gunsFiring = true;
  const double from = soundPlayer.mixedSeconds();
  for (int i = 0; i < 100; ++i) {
    frames(1);
    mixFor(0.005);
  }
  const double to = soundPlayer.mixedSeconds();
  tank.gunsFiring = false;
  frames(4);
  mixFor(0.3);
  const double blast = bombHitsGround(0.0);
  mixFor(0.6);
  const Mix mix = finish();
  const double guns = mix.rms(from + 0.05, to);
  EXPECT_GT(guns, kHeard);
  EXPECT_LT(guns, mix.rms(blast, blast + 0.5) / 2);
}

// World +x shows on the left of the screen; its sound comes from the left.
TEST_F(Mixer, ABlastIsHeardOnTheSideOfTheScreenItShowsOn) {
  const double onLeft = bombHitsGround(1.8);
  mixFor(1.6);
  const double onRight = bombHitsGround(-1.8);
  mixFor(1.0);
  const Mix mix = finish();
  EXPECT_GT(mix.rms(onLeft, onLeft + 0.4, 0), 2 * mix.rms(onLeft, onLeft + 0.4, 1));
  EXPECT_GT(mix.rms(onRight, onRight + 0.4, 1), 2 * mix.rms(onRight, onRight + 0.4, 0));
}

}  // namespace
