// The sound on a real mixer: OpenAL Soft's wave backend writes what it mixes to a file, and a
// scripted game is judged by that file. Events are placed in the output by the device's clock
// (how much it had mixed when the event happened), so the machine's load cannot blur them.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "app/frame.h"
#include "app/input.h"
#include "audio/sound_player.h"
#include "enemies/squadron.h"
#include "panel/panel.h"
#include "sound_measure.h"
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

// Root mean square of one channel (or both: -1) over [from, to) seconds.
double rms(const tools::Audio& mix, double from, double to, int channel = -1) {
  double sum = 0.0;
  int count = 0;
  for (std::size_t f = mix.frameAt(from); f < mix.frameAt(to); ++f)
    for (int c = 0; c < mix.channels; ++c)
      if (channel < 0 || channel == c) {
        sum += mix.samples[f * mix.channels + c] * mix.samples[f * mix.channels + c];
        ++count;
      }
  return count > 0 ? std::sqrt(sum / count) : 0.0;
}

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
// Plays frames at the game's pace (a frame, then 5 ms) for the given seconds of output.
double playFor(double seconds) {
  const double end = soundPlayer.mixedSeconds() + seconds;
  while (soundPlayer.mixedSeconds() < end) {
    frames(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return soundPlayer.mixedSeconds();
}
// Lets the player follow the mixer for the given seconds with the world held still.
double listenFor(double seconds) {
  const double end = soundPlayer.mixedSeconds() + seconds;
  while (soundPlayer.mixedSeconds() < end) {
    updateSound();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
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

// Every test mixes into the same file through OpenAL Soft's wave backend, whose settings are
// read once per process.
class Mixer : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new testenv::TempDir;
    testenv::writeFile(*dir_ / "alsoft.conf",
                       "[general]\ndrivers=wave\nchannels=stereo\nfrequency=44100\n"
                       "[wave]\nfile=" +
                           (*dir_ / "mix.wav").string() + "\n");
    setenv("ALSOFT_CONF", (*dir_ / "alsoft.conf").c_str(), 1);
    setenv("ALSOFT_DRIVERS", "wave", 1);
    testenv::captureStdout([] {
      testenv::loadAllTextures();
      squadron.init(tankHitTest, game.score, game.kills, game.escapes);
      tank.init(camera);
      if (hudPanel.labelsList == 0) buildPanelLists();
    });
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  void SetUp() override {
    brambleshot::srand(299);
    squadron.gameOver = false;
    squadron.aircraft.clear();
    squadron.bombs.clear();
    squadron.explosions.clear();
    game.paused = game.helpShown = false;
    heard.clear();
    ASSERT_TRUE(soundPlayer.open((testenv::sourceDir() / "Resources/sounds").string(), camera));
    setEventListener(listen);
  }
  // Closes the device, which completes the file, and reads what was mixed.
  static tools::Audio mixed() {
    setEventListener(nullptr);
    soundPlayer.close();
    if (const char* keep = std::getenv("BRAMBLESHOT_KEEP_MIX"))
      std::filesystem::copy_file(*dir_ / "mix.wav", keep,
                                 std::filesystem::copy_options::overwrite_existing);
    tools::Audio mix;
    std::string error;
    EXPECT_TRUE(tools::readWav((*dir_ / "mix.wav").string(), mix, error)) << error;
    EXPECT_EQ(mix.channels, 2);
    return mix;
  }
  static testenv::TempDir* dir_;
};
testenv::TempDir* Mixer::dir_ = nullptr;

TEST_F(Mixer, AScriptedGameIsHeardWhenAndWhereItShould) {
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
  const double humTo = playFor(0.5);
  squadron.aircraft.clear();
  squadron.inFlight = 0;
  playFor(0.3);

  // A pause holds the boom that plays and starts nothing; resuming lets it die away. While
  // paused the world still ends a bomb below the ground, unheard.
  const double boom = bombHitsGround(0.0);
  const double pausedAt = mixFor(0.2);
  onKeyboard('p', 0, 0);
  squadron.bombs.push_back(Bomb{.x = 1.8, .y = -0.01});
  frames(2);
  EXPECT_TRUE(squadron.bombs.empty());
  const double resumedAt = mixFor(0.25);
  onKeyboard('p', 0, 0);
  listenFor(1.6);
  const tools::Audio mix = mixed();

  ASSERT_GT(mix.seconds(), resumedAt + 1.0);
  EXPECT_LT(rms(mix, 0.02, mutedUntil), kSilent);
  const GameEvent expected[] = {GameEvent::gunBurst,         GameEvent::gunBurst,
                                GameEvent::aircraftShotDown, GameEvent::largeExplosion,
                                GameEvent::bombHitsGround,   GameEvent::largeExplosion,
                                GameEvent::bombHitsGround,   GameEvent::largeExplosion};
  ASSERT_EQ(events.size(), std::size(expected));
  for (std::size_t i = 0; i < events.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "event " << i << " at " << events[i].at << " s");
    EXPECT_EQ(events[i].event, expected[i]);
    EXPECT_GT(rms(mix, events[i].at, events[i].at + 0.1), kHeard);
    if (i == 0 || events[i].at > events[i - 1].at + 0.4) {
      EXPECT_LT(rms(mix, events[i].at - 0.15, events[i].at), kSilent);
    }
  }
  EXPECT_GT(rms(mix, onLeft, onLeft + 0.4, 0), 2 * rms(mix, onLeft, onLeft + 0.4, 1));
  EXPECT_GT(rms(mix, onRight, onRight + 0.4, 1), 2 * rms(mix, onRight, onRight + 0.4, 0));
  EXPECT_GT(rms(mix, humFrom + 0.05, humTo), kHeard);
  EXPECT_LT(rms(mix, humTo + 0.1, humTo + 0.3), kSilent);
  EXPECT_GT(rms(mix, boom, pausedAt), kHeard);
  EXPECT_LT(rms(mix, pausedAt + 0.05, resumedAt), kSilent);
  // The held boom goes on where it stopped, at the level it had, and dies away.
  const double before = rms(mix, pausedAt - 0.1, pausedAt - 0.05);
  const double after = rms(mix, resumedAt + 0.1, resumedAt + 0.15);
  EXPECT_GT(after, before * 0.3);
  EXPECT_LT(after, before * 1.5);
  EXPECT_LT(rms(mix, resumedAt + 0.1, resumedAt + 0.4, 0),  // nothing started while paused
            1.1 * rms(mix, resumedAt + 0.1, resumedAt + 0.4, 1));
  EXPECT_LT(rms(mix, mix.seconds() - 0.2, mix.seconds()), kSilent);
}

// A level that steps where the sounds themselves do not: a click. Around the moment the mixer
// took a change, the largest step may exceed the sound's own steps (while it played, up to
// ownTo) by no more than -40 dBFS.
double clickAt(const tools::Audio& mix, double at, double ownTo) {
  const double own = tools::largestStep(mix, ownTo - 0.1, ownTo - 0.005).size;
  return tools::largestStep(mix, at - 0.005, at + 0.08).size - own;
}

TEST_F(Mixer, LevelsGlideAndTheWorstSceneKeepsItsHeadroom) {
  // A hum (smooth: an explosion's crackle would pass for a click): pause, resume, mute and
  // unmute, then its aircraft leaves and another comes.
  squadron.aircraft.push_back(Aircraft{.x = 1.0, .y = 3.1});
  playFor(0.3);
  const double pausedAt = playFor(0.15);
  onKeyboard('p', 0, 0);
  const double resumedAt = mixFor(0.3);
  onKeyboard('p', 0, 0);
  const double mutedAt = playFor(0.15);
  onKeyboard('m', 0, 0);
  const double unmutedAt = playFor(0.3);
  onKeyboard('m', 0, 0);
  const double leftAt = playFor(0.3);
  squadron.aircraft.clear();
  playFor(0.3);
  const double cameAt = soundPlayer.mixedSeconds();
  squadron.aircraft.push_back(Aircraft{.x = -1.5, .y = 3.1});
  playFor(0.5);
  squadron.aircraft.clear();

  // The worst of play: guns held and the cannon fired while three bombs land on the tank by
  // the field's edge, the tank's blast and its figure over their explosions.
  tank.x = 2.0;
  tank.health = 100;
  tank.gunsFiring = true;
  tank.aimX = 0.0;
  tank.aimY = 2.0;
  onKeyboard(' ', 0, 0);
  const double worstFrom = playFor(0.05);
  for (const double dx : {0.0, 0.1, -0.1}) {
    squadron.bombs.push_back(Bomb{.x = tank.x + dx, .y = 0.015});
    playFor(0.02);
  }
  const double worstTo = playFor(2.5);
  tank.gunsFiring = false;
  const tools::Audio mix = mixed();

  for (const auto& [what, at, ownTo] : {std::tuple{"pause", pausedAt, pausedAt},
                                        {"resume", resumedAt, pausedAt},
                                        {"mute", mutedAt, mutedAt},
                                        {"unmute", unmutedAt, mutedAt},
                                        {"the hum's end", leftAt, leftAt},
                                        {"the hum's start", cameAt, leftAt}}) {
    SCOPED_TRACE(what);
    EXPECT_LT(clickAt(mix, at, ownTo), 0.01) << "at " << at << " s";
  }
  EXPECT_TRUE(squadron.isGameOver());
  // The tank's end is followed by the game-over figure, its last note (C4) clear of the blast.
  const auto end = std::find_if(heard.begin(), heard.end(),
                                [](const Heard& h) { return h.event == GameEvent::tankDestroyed; });
  ASSERT_NE(end, heard.end());
  EXPECT_GT(tools::bandLevelDb(mix, end->at + 1.25, end->at + 1.9, 250, 275),
            tools::bandLevelDb(mix, end->at + 1.25, end->at + 1.9, 205, 235) + 10.0);
  EXPECT_LT(tools::truePeakDb(mix, worstFrom, worstTo), -1.0);
  EXPECT_GT(tools::truePeakDb(mix, worstFrom, worstTo), -12.0);  // and it is loud
}

TEST_F(Mixer, EveryCueIsHeardAndEveryEventIsItsOwnSound) {
  // The bomb release over held guns, in the release's band above the guns' own level there.
  tank.gunsFiring = true;
  const double gunsFrom = playFor(0.6);
  soundPlayer.play(GameEvent::bombReleased, 0.0);
  const double releasedAt = soundPlayer.mixedSeconds();
  playFor(0.5);
  tank.gunsFiring = false;

  // One hum on the left; a second aircraft on the right leaves the first where it is.
  squadron.aircraft.push_back(Aircraft{.x = 2.0, .y = 3.1});
  const double oneFrom = playFor(0.3);
  const double oneTo = playFor(0.4);
  squadron.aircraft.push_back(Aircraft{.x = -2.0, .y = 3.1});
  const double twoFrom = playFor(0.3);
  const double twoTo = playFor(0.4);
  squadron.aircraft.clear();
  playFor(0.3);

  // The cannon, a landing and an explosion, each alone.
  double starts[3] = {};
  int i = 0;
  for (const GameEvent event :
       {GameEvent::cannonShot, GameEvent::bombHitsGround, GameEvent::largeExplosion}) {
    starts[i++] = soundPlayer.mixedSeconds();
    soundPlayer.play(event, 0.0);
    playFor(1.6);
  }
  const tools::Audio mix = mixed();

  const double bed = tools::bandLevelDb(mix, gunsFrom - 0.4, gunsFrom, 800, 1600);
  EXPECT_GT(tools::bandLevelDb(mix, releasedAt, releasedAt + 0.3, 800, 1600), bed + 6.0);
  // The left hum holds its level in the left channel as the right one joins.
  const double leftAlone = rms(mix, oneFrom, oneTo, 0), leftWithTwo = rms(mix, twoFrom, twoTo, 0);
  EXPECT_GT(leftAlone, 3 * rms(mix, oneFrom, oneTo, 1));
  EXPECT_NEAR(leftWithTwo / leftAlone, 1.0, 0.3);
  EXPECT_GT(rms(mix, twoFrom, twoTo, 1), 3 * rms(mix, oneFrom, oneTo, 1));

  const tools::Audio small = tools::highPassed(mix);
  for (int a = 0; a < 3; ++a)
    for (int b = a + 1; b < 3; ++b)
      for (const tools::Audio* heardThrough : {&mix, &small}) {
        SCOPED_TRACE(testing::Message() << "sounds " << a << " and " << b);
        EXPECT_GT(tools::spectralDistanceDb(
                      tools::bandLevelsDb(*heardThrough, starts[a], starts[a] + 1.0),
                      tools::bandLevelsDb(*heardThrough, starts[b], starts[b] + 1.0)),
                  7.0);
      }
}

// Held guns crack at the game's cadence only if every crack follows its shot by the same
// delay, though the mixer starts sounds at the beginning of its 23 ms periods. Shots at odd
// moments within the periods, each alone, show the spread of that delay; the machine's load
// can delay the mixer now and then, so the middle four fifths are judged.
TEST_F(Mixer, GunsCrackAFixedDelayAfterTheirShot) {
  const auto opened = std::chrono::steady_clock::now();
  const auto now = [&] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - opened).count();
  };
  playFor(0.5);  // the player learns the mixer's beat from the frames
  std::vector<double> shots;
  for (int i = 0; i < 40; ++i) {
    const double at = now() + 0.09 + 0.0037 * i;
    while (now() < at) {
      frames(1);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    shots.push_back(now());
    soundPlayer.play(GameEvent::gunBurst, 0.0);
  }
  playFor(0.2);
  const tools::Audio mix = mixed();

  // Each crack starts where the mix first rises over a tenth of the loudest, from a little
  // before its shot (the mix's time and the wall's need not start together).
  double loudest = 0.0;
  for (const float s : mix.samples)
    loudest = std::max(loudest, static_cast<double>(std::fabs(s)));
  std::vector<double> delays;
  for (const double shot : shots) {
    std::size_t f = mix.frameAt(shot - 0.03);
    while (f < mix.frames() &&
           std::fabs(mix.samples[2 * f]) + std::fabs(mix.samples[2 * f + 1]) < loudest / 10)
      ++f;
    delays.push_back(static_cast<double>(f) / mix.rate - shot);
  }
  std::sort(delays.begin(), delays.end());
  EXPECT_LT(delays[delays.size() * 9 / 10] - delays[delays.size() / 10], 0.006);
}

}  // namespace
