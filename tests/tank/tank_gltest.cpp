// The tank in a real GL context: aiming, steering, weapons and lights, input, pictures, blasts.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>
#include <vector>

#include "app/frame.h"
#include "app/input.h"
#include "assets/bitmap.h"
#include "enemies/squadron.h"
#include "panel/panel.h"
#include "support/gl_env.h"
#include "support/test_util.h"
#include "tank/tank.h"
#include "world/game.h"

namespace {

using namespace brambleshot;

// A frame that draws the tank without advancing it; it leaves the scene's matrices for aiming.
void drawPausedFrame() {
  const bool paused = game.paused;
  game.paused = true;
  drawFrame();
  game.paused = paused;
}

bool lit(GLenum light) {
  return glIsEnabled(light) == GL_TRUE;
}

// Each test starts unpaused at 800 x 600 with a fresh tank, an empty sky and the lights off.
class TankGl : public ::testing::Test {
 protected:
  void SetUp() override {
    static const bool started = [] {  // start-up's squadron and tank steps, once per binary
      testenv::captureStdout([] {
        squadron.init(tankHitTest, game.score, game.kills, game.escapes);
        tank.init(camera);
        loadTexture("./Resources/desert05.bmp", kDesertTexture);
      });
      buildPanelLists();
      return true;
    }();
    ASSERT_TRUE(started);
    testenv::resizeWindow(800, 600);
    game.paused = game.helpShown = false;
    squadron.clearGameOver();
    squadron.aircraft.clear();
    squadron.explosions.clear();
    squadron.gunStreak = 0;
    tank.reset();
    for (GLenum light : {GL_LIGHT1, GL_LIGHT2, GL_LIGHT3, GL_LIGHT4})
      glDisable(light);
    drawPausedFrame();
  }

  void TearDown() override {
    glutIdleFunc(nullptr);  // the pause keys may have installed the game's idle callback
  }
};

// Steering stops at the field's edges with the wheels still turning.
TEST_F(TankGl, PointerMeetsThePlayPlaneAndSteeringStopsAtTheEdges) {
  // The scene's bottom-left pixel lies below the ground: mirrored, never downward, angles.
  tank.x = 1.0;
  onMotion(100, 599);
  EXPECT_NEAR(tank.aimX, 2.698, 0.001);
  EXPECT_NEAR(tank.aimY, -0.510, 0.005);
  EXPECT_NEAR(tank.cannonAngle, 16.72, 0.05);
  EXPECT_NEAR(tank.leftGunAngle, 19.78, 0.05);
  EXPECT_NEAR(tank.rightGunAngle, 14.46, 0.05);

  for (const int direction : {-1, +1}) {
    tank.reset();
    for (int step = 1; step <= 43; ++step)
      tank.steer(direction, camera);
    EXPECT_NEAR(tank.x, -direction * 2.15, 1e-9);
    const double atLimit = tank.x;
    for (Mesh& wheel : tank.wheels)
      wheel.rotationAngle = 0.0;
    tank.steer(direction, camera);  // its candidate is exactly +-2.2
    EXPECT_EQ(tank.x, atLimit);
    for (const Mesh& wheel : tank.wheels)
      EXPECT_NEAR(wheel.rotationAngle, direction / 6.0, 1e-12) << "the wheels turn at the limit";
  }
}

TEST_F(TankGl, NothingTheWindowOrPointerDoesMakesNaN) {
  // A singular projection keeps the last aim point, here exactly on the left gun's mount.
  tank.aimX = 0.28;
  tank.aimY = 0.0;
  glMatrixMode(GL_PROJECTION);
  glScaled(0.0, 0.0, 0.0);
  glMatrixMode(GL_MODELVIEW);
  tank.aim(450, 300, camera);
  EXPECT_EQ(tank.aimX, 0.28);
  EXPECT_EQ(tank.leftGunAngle, 90.0) << "a mount under its aim point points straight up";
  tank.aimX = tank.aimY = 1e-200;  // too short to square without underflow
  tank.aim(450, 300, camera);
  EXPECT_NEAR(tank.cannonAngle, 45.0, 1e-9);
  constexpr double kHuge = std::numeric_limits<double>::max();
  for (const auto& [width, height] : {std::pair{800, 600}, {800, 0}, {0, 600}}) {
    testenv::resizeWindow(width, height);
    drawPausedFrame();
    for (const auto& [x, y] : {std::pair{kHuge, kHuge}, {-kHuge, 0.0}, {NAN, NAN}, {450.0, 0.0}}) {
      tank.aim(x, y, camera);
      tank.steer(+1, camera);
      EXPECT_TRUE(std::isfinite(tank.aimX + tank.aimY + tank.leftGunAngle + tank.rightGunAngle +
                                tank.cannonAngle))
          << width << " x " << height << " at " << x << ", " << y;
    }
  }
}

// A shot reloads for 500 frames with the cannon's light on in the first nine; a one-frame press
// of the guns runs a whole firing cycle. The lights stand 0.25 out along each barrel, in eye
// coordinates of a camera looking along +z from (0, 1.8, -4).
TEST_F(TankGl, WeaponsCycleAndTheirLightsBurnAtTheirMuzzlesInTheFramesTheyFire) {
  tank.fire();
  for (int expected = 499; expected >= 0; --expected) {
    tank.updateCannon();
    ASSERT_EQ(tank.reload, expected);
    EXPECT_EQ(lit(GL_LIGHT3), expected > 490) << expected;
    if (expected > 0) tank.fire();  // refused while reloading
  }

  tank.aimX = 0.0;
  tank.aimY = 3.0;
  squadron.aircraft.push_back({.x = 0.0, .y = 3.0});
  tank.gunsFiring = true;
  tank.updateGuns();
  tank.gunsFiring = false;  // released before the next frame
  const int phases[] = {1, 2, 3, 0, 0};
  for (int frame = 0; frame < 5; ++frame) {
    if (frame > 0) tank.updateGuns();
    EXPECT_EQ(tank.gunPhase, phases[frame]) << frame;
    EXPECT_EQ(lit(GL_LIGHT1) + lit(GL_LIGHT2), phases[frame] % 2 * 2) << frame;
  }
  EXPECT_EQ(squadron.aircraft[0].hitPoints, 196);

  tank.x = 1.0;
  tank.leftGunAngle = 90.0;
  tank.rightGunAngle = 0.0;
  tank.cannonAngle = 180.0;
  tank.gunsFiring = true;
  tank.reload = 500;
  game.paused = true;  // a paused frame moves no weapon
  drawFrame();
  EXPECT_EQ(tank.reload + tank.gunPhase, 500);
  EXPECT_FALSE(lit(GL_LIGHT1) || lit(GL_LIGHT3));
  game.paused = false;
  drawFrame();  // updateCannon and updateGuns under the camera's transform
  const struct {
    GLenum light;
    double x, y;
  } lights[] = {{GL_LIGHT1, 1.28, 0.25}, {GL_LIGHT2, 0.97, 0.0}, {GL_LIGHT3, 0.75, 1.0}};
  for (const auto& l : lights) {
    EXPECT_TRUE(lit(l.light));
    GLfloat p[4];
    glGetLightfv(l.light, GL_POSITION, p);
    EXPECT_NEAR(-p[0], l.x, 1e-5) << l.light - GL_LIGHT0;
    EXPECT_NEAR(p[1] + 1.8, l.y, 1e-5) << l.light - GL_LIGHT0;
  }
}

TEST_F(TankGl, KeysActInLowerCaseThePauseStopsSteeringAndFireAndNewGameWaitsForTheEnd) {
  onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 0, 0);
  onMouse(GLUT_RIGHT_BUTTON, GLUT_UP, 0, 0);
  EXPECT_TRUE(tank.gunsFiring);
  onMouse(GLUT_LEFT_BUTTON, GLUT_UP, 0, 0);
  onMouse(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 0, 0);
  EXPECT_FALSE(tank.gunsFiring);

  onKeyboard('a', 0, 0);
  EXPECT_NEAR(tank.x, 0.05, 1e-12);
  // The rest are ignored; a pause by 'H' or 'P' would show below.
  for (unsigned char key : {'d', 'd', 'A', 'D', 'H', 'N', 'P', 'Q', 'x', '\x1b', '\0', '\xff'})
    onKeyboard(key, 0, 0);
  EXPECT_NEAR(tank.x, -0.05, 1e-12);

  onKeyboard('p', 0, 0);
  for (unsigned char key : {'a', 'd', ' '})
    onKeyboard(key, 0, 0);
  EXPECT_NEAR(tank.x, -0.05, 1e-12);
  EXPECT_EQ(tank.reload, 0);
  onKeyboard('p', 0, 0);
  onKeyboard(' ', 0, 0);
  EXPECT_EQ(tank.reload, 500);

  // 'p' and 'h' from each state, as paused + 2 * helpShown: before, after 'p', after 'h'.
  const int rows[4][3] = {{0, 1, 3}, {1, 0, 2}, {3, 2, 0}, {2, 3, 1}};
  for (const auto& row : rows) {
    for (int k = 1; k <= 2; ++k) {
      game.paused = row[0] & 1;
      game.helpShown = row[0] & 2;
      onKeyboard("ph"[k - 1], 0, 0);
      EXPECT_EQ(game.paused + 2 * game.helpShown, row[k]) << row[0] << "ph"[k - 1];
    }
  }

  // A new game only while the game is over.
  game.paused = game.helpShown = false;
  game.score = 1200;
  tank.health = 50;
  onKeyboard('n', 0, 0);  // a game is running: ignored
  EXPECT_EQ(game.score + tank.health, 1250);

  squadron.gameOver = true;
  game.kills = 6;
  game.escapes = 4;
  tank.x = 1.5;
  onKeyboard('n', 0, 0);
  EXPECT_FALSE(squadron.isGameOver());
  EXPECT_EQ(game.score + game.kills + game.escapes, 0);
  EXPECT_EQ(tank.x, 0.0);
  EXPECT_EQ(tank.health, 250);
}

// The tank at x = 0 aimed at (0, 2) over a grey backdrop; the reticle and flash are quartered
// pictures with black masks ('?' where none shows).
class TankPictures : public TankGl {
 protected:
  void SetUp() override {
    TankGl::SetUp();
    testenv::loadFlatTexture(kDesertTexture, {90, 90, 90});
    testenv::loadFlatTexture(kReticleMaskTexture, {0, 0, 0});
    testenv::loadFlatTexture(kMuzzleFlashMaskTexture, {0, 0, 0});
    testenv::loadQuarteredTexture(kReticleTexture);
    testenv::loadQuarteredTexture(kMuzzleFlashTexture);
    for (Mesh& wheel : tank.wheels)
      std::copy_n(Mesh{}.orientation, 16, wheel.orientation);  // unturned, as after start-up
    tank.aimX = 0.0;
    tank.aimY = 2.0;
    tank.leftGunAngle = tank.rightGunAngle = tank.cannonAngle = 90.0;
  }
  void TearDown() override {
    TankGl::TearDown();
    testenv::captureStdout([] {
      testenv::loadAllTextures(true);
      loadTexture("./Resources/desert05.bmp", kDesertTexture);
    });
  }
  // The window pixel where the play-plane point (x, y) shows.
  static testenv::Rgb pixelAt(double x, double y) {
    int wx = 0, wy = 0;
    testenv::pixelOnPlane(x, y, wx, wy);
    return testenv::readPixel(wx, wy);
  }
  // Whether a yellow tracer passes within two pixels of the play-plane point (x, y).
  static bool yellowNear(double x, double y) {
    int wx = 0, wy = 0;
    testenv::pixelOnPlane(x, y, wx, wy);
    for (int dx = -2; dx <= 2; ++dx)
      for (int dy = -2; dy <= 2; ++dy) {
        const testenv::Rgb p = testenv::readPixel(wx + dx, wy + dy);
        if (p.r > 200 && p.g > 200 && p.b < 80) return true;
      }
    return false;
  }
};

// The flashes point their picture's last rows out of the muzzle; the mirrored play plane turns
// them and the reticle round on screen.
TEST_F(TankPictures, ReticleAndFlashesShowTheRightWayRoundInTheirFrames) {
  drawPausedFrame();
  EXPECT_EQ(testenv::quartersOnPlane(-0.1, 1.9, 0.1, 2.1), "DCBA") << "reticle";
  // The cannon's flash, 0.2 x 0.4 and 0.5 along the barrel, burns in the nine frames after a shot.
  for (const auto& [reload, shown] :
       {std::pair{500, "DCBA"}, {491, "DCBA"}, {490, "????"}, {0, "????"}}) {
    tank.reload = reload;
    drawPausedFrame();
    EXPECT_EQ(testenv::quartersOnPlane(-0.08, 0.22, 0.08, 0.54), shown) << "reload " << reload;
  }
  tank.reload = 0;
  // The left gun's flash, half that size 0.3 along the barrel, only in a burst's first step.
  const struct {
    bool firing;
    int phase;
    const char* shown;
  } guns[] = {{true, 1, "DCBA"}, {true, 2, "????"}, {true, 0, "????"}, {false, 1, "????"}};
  for (const auto& g : guns) {
    tank.gunsFiring = g.firing;
    tank.gunPhase = g.phase;
    drawPausedFrame();
    EXPECT_EQ(testenv::quartersOnPlane(0.184, 0.14, 0.264, 0.30), g.shown)
        << "phase " << g.phase << (g.firing ? " firing" : "");
  }
}

// The guns' spotlights shine yellow on the hull below them: red and green, never blue.
TEST_F(TankPictures, GunLightsTintTheHullYellow) {
  const auto tankPixels = [] {
    std::vector<unsigned char> rgb(300 * 150 * 3);
    glReadPixels(250, 0, 300, 150, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
  };
  tank.gunsFiring = true;
  drawFrame();  // the guns' lights go on; the next frames draw no tracer or flash
  tank.gunsFiring = false;
  ASSERT_TRUE(lit(GL_LIGHT1) && lit(GL_LIGHT2));
  drawPausedFrame();
  const std::vector<unsigned char> shone = tankPixels();
  glDisable(GL_LIGHT1);
  glDisable(GL_LIGHT2);
  drawPausedFrame();
  const std::vector<unsigned char> dark = tankPixels();
  int yellower = 0, bluer = 0;
  for (std::size_t i = 0; i < dark.size(); i += 3) {
    yellower += shone[i] > dark[i] + 12 && shone[i + 1] > dark[i + 1] + 12;
    bluer += shone[i + 2] > dark[i + 2] + 12;
  }
  EXPECT_GT(yellower, 200);
  EXPECT_EQ(bluer, 0);
}

// Each gun's dash runs from its mount towards the aim point, the right one an eighth ahead.
TEST_F(TankPictures, TracersRunOutFromTheirOwnGuns) {
  tank.gunsFiring = true;
  // Fraction f of the line from a mount (m, 0.1) to (0, 2), in the tank's 0.8 scale.
  const auto along = [](double m, double f) {
    return std::pair{0.8 * m * (1 - f), 0.8 * (0.1 + 2 * f) - 0.1};
  };
  for (int phase = 1; phase <= 4; ++phase) {
    tank.gunPhase = phase % 4;
    drawPausedFrame();
    SCOPED_TRACE(phase);
    for (const auto& [mount, ahead] : {std::pair{0.28, 0.0}, std::pair{-0.28, 0.125}}) {
      const double f0 = 0.25 * (phase - 1) + ahead, f1 = f0 + 0.125;
      for (const auto& [f, lit] : {std::pair{f0 + 0.02, true},
                                   {f1 - 0.02, true},
                                   {f0 - 0.03, false},
                                   {f1 + 0.03, false}}) {
        const auto [x, y] = along(mount, f);
        if (y < 0.2 || f > 1.0) continue;  // inside the hull, which stands in front of the line
        EXPECT_EQ(yellowNear(x, y), lit) << "gun at " << mount << ", f " << f;
      }
    }
  }
}

// A tank at rest aimed straight up is its own mirror image about the scene's centre; the shell
// flies at full scale in its own bronze, whatever material was applied before.
TEST_F(TankPictures, TankIsSymmetricAboutItsCentreAndTheShellShowsBronze) {
  tank.shellInFlight = true;
  tank.shellX = -1.0;
  tank.shellY = 1.0;
  tank.shellHeading = 90.0;
  drawPausedFrame();
  drawPausedFrame();  // the material the last frame left behind is the guns' grey
  int left = 0, bottom = 0, right = 0, top = 0;
  testenv::pixelOnPlane(0.45, -0.45, left, bottom);
  testenv::pixelOnPlane(-0.45, 0.3, right, top);
  // The scene's centre line runs between columns 449 and 450: column x mirrors column 899 - x.
  int differing = 0, drawn = 0;
  for (int y = bottom; y <= top; ++y)
    for (int x = left; x < 450; ++x) {
      const testenv::Rgb a = testenv::readPixel(x, y), b = testenv::readPixel(899 - x, y);
      differing += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 24;
      drawn += a.r != 90 || a.g != 90 || a.b != 90;
    }
  EXPECT_GT(drawn, 2000);
  EXPECT_LT(differing * 100, drawn)
      << differing << " of " << drawn << " drawn pixels on the left half";

  // The shell's tail at its position, its nose 0.3 ahead of it.
  for (const auto& [y, bronze] :
       {std::pair{1.05, true}, {1.15, true}, {1.25, true}, {1.35, false}}) {
    const testenv::Rgb p = pixelAt(-1.0, y);
    EXPECT_EQ(p.r > p.g + 4 && p.g > p.b + 4, bronze)
        << y << ": " << p.r << " " << p.g << " " << p.b;
    EXPECT_EQ(p.r == 90 && p.g == 90 && p.b == 90, !bronze) << y;
  }
}

// The frame in which a blast destroys the tank no longer draws it; later blasts do no damage.
TEST_F(TankPictures, TankIsGoneInTheFrameItIsDestroyed) {
  const auto rightHalf = [] {  // the tank's screen-right half, away from both explosions
    std::vector<int> pixels;
    for (double y = -0.35; y <= 0.05; y += 0.02)
      for (double x = -0.2; x >= -0.45; x -= 0.02) {
        const testenv::Rgb p = pixelAt(x, y);
        pixels.push_back(p.r << 16 | p.g << 8 | p.b);
      }
    return pixels;
  };
  tank.aimY = 3.5;  // reticle out of the way
  squadron.gameOver = true;
  drawPausedFrame();
  const std::vector<int> without = rightHalf();
  squadron.gameOver = false;
  drawPausedFrame();
  ASSERT_NE(rightHalf(), without);

  tank.health = 50;
  const double beside[2] = {0.5, 0.0}, below[2] = {0.3, -0.5};
  squadron.spawnExplosion(beside, 0.6, true);  // its first square, radius 0.15, reaches the hull
  squadron.spawnExplosion(below, 0.6, true);
  drawFrame();
  EXPECT_TRUE(squadron.isGameOver());
  EXPECT_EQ(tank.health, 0) << "the second blast of the frame is refused";
  EXPECT_EQ(rightHalf(), without);
}

// Tank x and y put one box edge exactly where a blast of radius 0.5 at (cx, cy) ends.
TEST(TankBlast, TouchingDoesNoDamageOverlappingCosts50AndTheFifthOverlapDestroys) {
  const double cases[][4] = {{0.09, 0, 1, 0}, {-0.09, 0, -1, 0}, {0, 0.3, 0, 1}, {0, -0.22, 0, -1}};
  for (const auto& [x, y, cx, cy] : cases) {
    SCOPED_TRACE(testing::Message() << cx << ", " << cy);
    Tank target;
    target.x = x;
    target.y = y;
    target.health = 250;
    const double touching[2] = {cx, cy},
                 inward[2] = {std::nextafter(cx, 0.0), std::nextafter(cy, 0.0)};
    EXPECT_FALSE(target.blastTest(touching, 0.5));
    for (int blast = 1; blast <= 4; ++blast)
      EXPECT_FALSE(target.blastTest(inward, 0.5));
    EXPECT_EQ(target.health, 50);
    EXPECT_TRUE(target.blastTest(inward, 0.5));
    EXPECT_EQ(target.health, 0);
  }
}

}  // namespace
