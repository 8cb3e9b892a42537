// The sound on a real mixer: OpenAL Soft's wave backend writes what it mixes to a file, and a
// scripted game is judged by that file. Events are placed in the output by the device's clock
// (how much it had mixed when the event happened), so the machine's load cannot blur them.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
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

constexpr double kSilent = 1e-4;  // RMS; a sound at its quietest is far above this
constexpr double kHeard = 0.005;

// The mixer's output, 44.1 kHz stereo as 32-bit floats (OpenAL Soft's default for the wave
// backend), channel 0 on the left.
struct Mix {
  static constexpr int kRate = 44100;
  std::vector<float> samples;  // left and right interleaved

  // The samples follow the first "data" chunk id; all of them, even if the file was not closed.
  explicit Mix(const std::string& bytes) {
    const std::size_t at = bytes.find("data", 12);
    if (at == std::string::npos) return;
    samples.resize((bytes.size() - at - 8) / 8 * 2);
    std::memcpy(samples.data(), &bytes[at + 8], samples.size() * sizeof(float));
  }
  double seconds() const { return static_cast<double>(samples.size()) / 2 / kRate; }
  // Root mean square of one channel (or both: -1) over [from, to) seconds.
  double rms(double from, double to, int channel = -1) const {
    const auto a = static_cast<std::size_t>(std::max(0.0, from) * kRate);
    const auto b = std::min(samples.size() / 2, static_cast<std::size_t>(to * kRate));
    double sum = 0.0;
    int count = 0;
    for (std::size_t i = 2 * a + (channel > 0); i < 2 * b; i += channel >= 0 ? 2 : 1, ++count)
      sum += samples[i] * samples[i];
    return count > 0 ? std::sqrt(sum / count) : 0.0;
  }
};

struct Heard {
  GameEvent event;
  double at;  // seconds into the mix
};
std::vector<Heard> heard;  // every event raised, muted or not

void listen(GameEvent event, double x) {
  heard.push_back({event, soundPlayer.mixedSeconds()});
  soundPlayer.play(event, x);
}

void frames(int n) {
  for (int i = 0; i < n; ++i, updateSound())
    drawFrame();
}
// Lets the mixer run on for the given number of seconds of output.
double mixFor(double seconds) {
  const double end = soundPlayer.mixedSeconds() + seconds;
  while (soundPlayer.mixedSeconds() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return soundPlayer.mixedSeconds();
}
// A bomb just above the ground at x, and frames until it has hit: the time it was heard.
double bombHitsGround(double x) {
  squadron.bombs.push_back(Bomb{.x = x, .y = 0.015});
  const std::size_t before = heard.size();
  for (int i = 0; i < 5 && heard.size() == before; ++i)
    frames(1);
  EXPECT_GT(heard.size(), before);
  return heard.size() > before ? heard[before].at : 0.0;
}
void gunBurst() {
  tank.gunsFiring = true;
  frames(1);
  tank.gunsFiring = false;
  frames(3);
}

TEST(Mixer, AScriptedGameIsHeardWhenAndWhereItShould) {
  testenv::TempDir dir;
  const std::string config = (dir / "alsoft.conf").string();
  testenv::writeFile(config,
                     "[general]\ndrivers=wave\nchannels=stereo\nfrequency=44100\n"
                     "[wave]\nfile=" +
                         (dir / "mix.wav").string() + "\n");
  // Read by OpenAL Soft when it is first used, which is in this test.
  setenv("ALSOFT_CONF", config.c_str(), 1);
  setenv("ALSOFT_DRIVERS", "wave", 1);
  testenv::captureStdout([] {
    testenv::loadAllTextures();
    squadron.init(tankHitTest, game.score, game.kills, game.escapes);
    tank.init(camera);
    if (hudPanel.labelsList == 0) buildPanelLists();
  });
  brambleshot::srand(299);
  squadron.gameOver = false;
  game.paused = game.helpShown = false;
  ASSERT_TRUE(soundPlayer.open((testenv::sourceDir() / "Resources/sounds").string(), camera));
  setEventListener(listen);

  mixFor(0.3);            // silence before anything happens
  onKeyboard('m', 0, 0);  // muted: nothing of what follows is heard
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
  // World +x shows on the left of the screen; its sound comes from the left.
  const double onLeft = bombHitsGround(1.8);
  mixFor(1.6);
  const double onRight = bombHitsGround(-1.8);
  mixFor(1.6);
  const std::vector<Heard> events = heard;

  // The engine hums while an aircraft flies, and stops with the last one.
  squadron.aircraft.push_back(Aircraft{.x = -1.0, .y = 3.1});
  squadron.inFlight = 1;
  frames(1);
  const double humFrom = soundPlayer.mixedSeconds();
  const double humTo = mixFor(0.5);
  squadron.aircraft.clear();
  squadron.inFlight = 0;
  frames(1);
  mixFor(0.3);

  // A pause holds the boom that plays and starts nothing; resuming lets it die away. While
  // paused the world still ends a bomb below the ground, unheard.
  const double boom = bombHitsGround(0.0);
  const double pausedAt = mixFor(0.2);
  onKeyboard('p', 0, 0);
  squadron.bombs.push_back(Bomb{.x = 0.5, .y = -0.01});
  frames(2);
  EXPECT_TRUE(squadron.bombs.empty());
  const double resumedAt = mixFor(0.6);
  onKeyboard('p', 0, 0);
  mixFor(1.6);

  setEventListener(nullptr);
  soundPlayer.close();  // completes the file
  const Mix mix(testenv::readFile(dir / "mix.wav"));

  ASSERT_GT(mix.seconds(), resumedAt + 1.0);
  EXPECT_LT(mix.rms(0.02, mutedUntil), kSilent);
  const GameEvent expected[] = {GameEvent::gunBurst,         GameEvent::gunBurst,
                                GameEvent::aircraftShotDown, GameEvent::largeExplosion,
                                GameEvent::bombHitsGround,   GameEvent::largeExplosion,
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
  EXPECT_GT(mix.rms(onLeft, onLeft + 0.4, 0), 2 * mix.rms(onLeft, onLeft + 0.4, 1));
  EXPECT_GT(mix.rms(onRight, onRight + 0.4, 1), 2 * mix.rms(onRight, onRight + 0.4, 0));
  EXPECT_GT(mix.rms(humFrom + 0.05, humTo), kHeard);
  EXPECT_LT(mix.rms(humTo + 0.1, humTo + 0.3), kSilent);
  EXPECT_GT(mix.rms(boom, pausedAt), kHeard);
  EXPECT_LT(mix.rms(pausedAt + 0.05, resumedAt), kSilent);
  // The held boom goes on where it stopped, at the level it had, and dies away.
  const double before = mix.rms(pausedAt - 0.1, pausedAt - 0.05);
  const double after = mix.rms(resumedAt + 0.05, resumedAt + 0.1);
  EXPECT_GT(after, before * 0.3);
  EXPECT_LT(after, before * 1.5);
  EXPECT_LT(mix.rms(mix.seconds() - 0.2, mix.seconds()), kSilent);
}

}  // namespace
