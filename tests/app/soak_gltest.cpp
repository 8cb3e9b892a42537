// Soak: the whole game played headless for many frames with seeded random input, checking the
// world's invariants after every frame. BRAMBLESHOT_SOAK_FRAMES overrides the frame count.
#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "app/frame.h"
#include "app/game.h"
#include "app/input.h"
#include "app/random.h"
#include "enemies/squadron.h"
#include "panel/panel.h"
#include "support/gl_env.h"
#include "support/test_util.h"
#include "tank/tank.h"

namespace {

using namespace brambleshot;

constexpr int kWidth = 240;  // a small window keeps a million frames affordable
constexpr int kHeight = 180;

long frameCount() {
  const char* text = std::getenv("BRAMBLESHOT_SOAK_FRAMES");
  if (text == nullptr || *text == '\0') return 100000;
  return std::strtol(text, nullptr, 10);
}

// Start-up's squadron, tank, image and panel steps, once per binary. The squadron and the tank
// are set up from a copy of the images without the models: the loader reports them missing and
// leaves them empty, which the game allows. Drawing them costs most of a frame and has no part
// in the game's logic.
void startGameOnce() {
  static bool done = false;
  if (done) return;
  done = true;
  testenv::captureStdout([] {
    testenv::loadAllTextures();
    testenv::TempDir dir;
    std::filesystem::create_directory(dir / "Resources");
    for (const auto& entry : std::filesystem::directory_iterator("Resources")) {
      if (entry.path().extension() == ".bmp")
        std::filesystem::copy_file(entry.path(), dir / "Resources" / entry.path().filename());
    }
    const std::filesystem::path home = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    squadron.init(tankHitTest, game.score, game.kills, game.escapes);
    tank.init(camera);
    std::filesystem::current_path(home);
    if (hudPanel.labelsList == 0) buildPanelLists();
  });
  game.score = 0;
  game.kills = 0;
  game.escapes = 0;
}

// Window position (GLUT's, y from the top) of a play-plane point, through the last frame's
// projection and viewport and the camera.
bool windowPointOf(double x, double y, int& wx, int& wy) {
  GLdouble model[16], proj[16];
  GLint viewport[4];
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  gluLookAt(camera.eye.x, camera.eye.y, camera.eye.z, camera.centre.x, camera.centre.y,
            camera.centre.z, camera.up.x, camera.up.y, camera.up.z);
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glPopMatrix();
  glGetDoublev(GL_PROJECTION_MATRIX, proj);
  glGetIntegerv(GL_VIEWPORT, viewport);
  GLdouble px = 0, py = 0, pz = 0;
  if (gluProject(x, y, 0.0, model, proj, viewport, &px, &py, &pz) != GL_TRUE) return false;
  wx = static_cast<int>(px);
  wy = game.windowHeight - 1 - static_cast<int>(py);
  return true;
}

bool finite(double v) {
  return std::isfinite(v);
}

// Every position, angle and radius in the world is a number.
::testing::AssertionResult allFinite() {
  for (const Aircraft& a : squadron.aircraft) {
    if (!finite(a.x) || !finite(a.y) || !finite(a.speed))
      return ::testing::AssertionFailure() << "aircraft at " << a.x << ", " << a.y;
  }
  for (const Bomb& b : squadron.bombs) {
    if (!finite(b.x) || !finite(b.y) || !finite(b.spin))
      return ::testing::AssertionFailure() << "bomb at " << b.x << ", " << b.y;
  }
  for (const Explosion& e : squadron.explosions) {
    if (!finite(e.x) || !finite(e.y) || !finite(e.radius) || !finite(e.maxRadius))
      return ::testing::AssertionFailure() << "explosion at " << e.x << ", " << e.y;
  }
  const double tankValues[] = {tank.x,
                               tank.y,
                               tank.aimX,
                               tank.aimY,
                               tank.leftGunAngle,
                               tank.rightGunAngle,
                               tank.cannonAngle,
                               tank.pointerX,
                               tank.pointerY};
  for (double v : tankValues) {
    if (!finite(v)) return ::testing::AssertionFailure() << "tank value " << v;
  }
  if (tank.shellInFlight &&
      (!finite(tank.shellX) || !finite(tank.shellY) || !finite(tank.shellHeading)))
    return ::testing::AssertionFailure() << "shell at " << tank.shellX << ", " << tank.shellY;
  return ::testing::AssertionSuccess();
}

// A change of score in one frame must be made of the game's amounts: +200 and +250 per kill,
// +50 and +75 per bomb, minus what escaping aircraft had left (which blasts in that same frame
// may have lowered by 50s).
::testing::AssertionResult scoreStepAllowed(int delta, int newKills, int newEscapes,
                                            int escapingHitPoints, bool allEscapersEscaped,
                                            bool gameOverBefore, bool gameOverAfter) {
  if (gameOverBefore && delta != 0)
    return ::testing::AssertionFailure() << "score moved by " << delta << " while game over";
  if (newEscapes == 0) {
    // Kills after the tank's end in the same frame score nothing.
    const int least = gameOverAfter ? 0 : 200 * newKills;
    if (delta < least || delta % 25 != 0 || (newKills == 0 && delta == 25))
      return ::testing::AssertionFailure()
             << "score moved by " << delta << " with " << newKills << " kills";
    return ::testing::AssertionSuccess();
  }
  // A tank destroyed in the explosion pass freezes the score before the aircraft pass.
  if (gameOverAfter) {
    if (delta < 0 || delta % 25 != 0)
      return ::testing::AssertionFailure() << "score moved by " << delta << " as the game ended";
    return ::testing::AssertionSuccess();
  }
  if (allEscapersEscaped && (delta + escapingHitPoints) % 25 != 0)
    return ::testing::AssertionFailure()
           << "score moved by " << delta << " with escapes worth " << escapingHitPoints;
  return ::testing::AssertionSuccess();
}

class Soak : public ::testing::Test {
 protected:
  void SetUp() override {
    startGameOnce();
    testenv::resizeWindow(kWidth, kHeight);
    game.paused = false;
    game.helpShown = false;
    // No pixel is read: skipping rasterisation makes a frame several times cheaper.
    glEnable(GL_RASTERIZER_DISCARD);
  }
  void TearDown() override {
    // Leave the shared globals as a freshly started game would: start screen, empty sky.
    glDisable(GL_RASTERIZER_DISCARD);
    glutIdleFunc(nullptr);
    game.paused = false;
    game.helpShown = false;
    game.score = game.kills = game.escapes = 0;
    squadron.aircraft.clear();
    squadron.bombs.clear();
    squadron.explosions.clear();
    squadron.inFlight = 0;
    squadron.gunStreak = 0;
    squadron.gameOver = true;
    squadron.explosionLightOn = false;
    tank.reset();
    for (GLenum light : {GL_LIGHT1, GL_LIGHT2, GL_LIGHT3, GL_LIGHT4})
      glDisable(light);
    testenv::resizeWindow(800, 600);
  }
};

TEST_F(Soak, WholeGamePlaysWithSeededInput) {
  const long frames = frameCount();
  brambleshot::srand(20240611u);
  std::mt19937 input(7u);
  std::uniform_real_distribution<double> chance(0.0, 1.0);
  std::uniform_int_distribution<int> pointerX(0, kWidth - 1);
  std::uniform_int_distribution<int> pointerY(0, kHeight - 1);
  const unsigned char keys[] = {' ', ' ', 'a', 'a', 'd', 'd', 'n', 'n', 'p', 'h', 'x', 'N', 'A'};
  std::uniform_int_distribution<std::size_t> keyPick(0, sizeof keys - 1);

  // kills + escapes + inFlight = the count in flight when the counters were last zeroed plus
  // every launch since.
  int inFlightAtZero = squadron.inFlight;
  long launchesSinceZero = 0;
  long launches = 0, games = 0, maxBombs = 0, maxExplosions = 0, gameOverFrames = 0;
  int totalKills = 0, totalEscapes = 0;

  for (long frame = 0; frame < frames; ++frame) {
    // Input, about as often as a busy player gives it.
    if (chance(input) < 0.06) {
      const unsigned char key = keys[keyPick(input)];
      const bool startsGame = key == 'n' && squadron.isGameOver();
      onKeyboard(key, 0, 0);
      if (startsGame) {
        inFlightAtZero = squadron.inFlight;
        launchesSinceZero = 0;
        games += 1;
      }
    }
    if (chance(input) < 0.02) {
      onMouse(GLUT_LEFT_BUTTON, tank.gunsFiring ? GLUT_UP : GLUT_DOWN, 0, 0);
    }
    if (chance(input) < 0.01) onMouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 0, 0);
    const double move = chance(input);
    if (move < 0.05) {
      onMotion(pointerX(input), pointerY(input));
    } else if (move < 0.12 && !squadron.aircraft.empty()) {
      // Follow an aircraft so that the guns and the cannon find targets.
      const Aircraft& target = squadron.aircraft[frame % squadron.aircraft.size()];
      int wx = 0, wy = 0;
      if (windowPointOf(target.x + 0.05, target.y + 0.05, wx, wy)) onMotion(wx, wy);
    }
    // The idle callback's launch chance; there is no idle call while paused.
    if (!game.paused && brambleshot::rand() % 100000 < 100) {
      const int before = squadron.inFlight;
      squadron.launchAircraft();
      if (squadron.inFlight != before) {
        launches += 1;
        launchesSinceZero += 1;
      }
    }

    const int scoreBefore = game.score;
    const int killsBefore = game.kills;
    const int escapesBefore = game.escapes;
    const bool gameOverBefore = squadron.isGameOver();
    int escapingHitPoints = 0;
    int escaping = 0;
    for (const Aircraft& a : squadron.aircraft) {
      if (a.x > 3.5) {
        escapingHitPoints += a.hitPoints;
        escaping += 1;
      }
    }

    drawFrame();

    SCOPED_TRACE(testing::Message() << "frame " << frame);
    ASSERT_TRUE(allFinite());
    ASSERT_LE(squadron.aircraft.size(), 5u);
    ASSERT_EQ(squadron.inFlight, static_cast<int>(squadron.aircraft.size()));
    ASSERT_LE(squadron.bombs.size(), 400u);
    ASSERT_LE(squadron.explosions.size(), 400u);
    ASSERT_EQ(game.kills + game.escapes + squadron.inFlight, inFlightAtZero + launchesSinceZero);
    ASSERT_GE(tank.health, 0);
    ASSERT_LE(tank.health, 250);
    ASSERT_EQ(tank.health % 50, 0);
    ASSERT_TRUE(tank.health > 0 || squadron.isGameOver());
    const int newKills = game.kills - killsBefore;
    const int newEscapes = game.escapes - escapesBefore;
    ASSERT_GE(newKills, 0);
    ASSERT_GE(newEscapes, 0);
    ASSERT_TRUE(scoreStepAllowed(game.score - scoreBefore, newKills, newEscapes, escapingHitPoints,
                                 newEscapes == escaping, gameOverBefore, squadron.isGameOver()));

    totalKills += newKills;
    totalEscapes += newEscapes;
    if (squadron.isGameOver()) gameOverFrames += 1;
    maxBombs = std::max<long>(maxBombs, static_cast<long>(squadron.bombs.size()));
    maxExplosions = std::max<long>(maxExplosions, static_cast<long>(squadron.explosions.size()));
  }

  std::printf(
      "soak: %ld frames, %ld games, %ld launches, %d kills, %d escapes, %ld frames over,"
      " at most %ld bombs and %ld explosions\n",
      frames, games, launches, totalKills, totalEscapes, gameOverFrames, maxBombs, maxExplosions);
  // The run must have played: games started, aircraft flew, fell and got away.
  if (frames >= 100000) {
    EXPECT_GT(games, 5);
    EXPECT_GT(launches, 50);
    EXPECT_GT(totalKills, 5);
    EXPECT_GT(totalEscapes, 5);
  }
}

}  // namespace
