// Shared set-up for the tank's GL tests: the squadron and the tank initialised as start-up does,
// from synthetic flat-colour images, and a fixture that puts the shared globals in a known state.
#pragma once

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/frame.h"
#include "app/game.h"
#include "app/input.h"
#include "assets/bitmap.h"
#include "enemies/squadron.h"
#include "panel/panel.h"
#include "support/gl_env.h"
#include "support/test_util.h"
#include "tank/tank.h"

namespace tanktest {

using testenv::Rgb;

// Flat colours of the synthetic pictures. Both masks are black, so each billboard shows its
// picture's colour exactly wherever it is drawn.
inline constexpr Rgb kReticleColour{255, 0, 0};
inline constexpr Rgb kFlashColour{0, 255, 0};
inline constexpr Rgb kBackdropColour{40, 90, 200};

// A 4 x 4 image of one colour, as BMP bytes (pixels stored B, G, R).
inline std::string flatBmp(Rgb colour) {
  std::string pixels;
  for (int i = 0; i < 16; ++i) {
    pixels += static_cast<char>(colour.b);
    pixels += static_cast<char>(colour.g);
    pixels += static_cast<char>(colour.r);
  }
  return testenv::bmpBytes(4, 4, pixels);
}

// Runs the squadron's and the tank's start-up steps once per binary, from a temporary
// ./Resources holding only synthetic images (the meshes are missing and stay empty).
inline void initialiseGameOnce() {
  static bool done = false;
  if (done) return;
  done = true;
  using namespace brambleshot;
  testenv::TempDir dir;
  std::filesystem::create_directory(dir / "Resources");
  const Rgb black{0, 0, 0};
  const Rgb grey{128, 128, 128};
  testenv::writeFile(dir / "Resources/target.bmp", flatBmp(kReticleColour));
  testenv::writeFile(dir / "Resources/targetMask.bmp", flatBmp(black));
  testenv::writeFile(dir / "Resources/muzzle_flash.bmp", flatBmp(kFlashColour));
  testenv::writeFile(dir / "Resources/muzzle_flash_mask.bmp", flatBmp(black));
  testenv::writeFile(dir / "Resources/bomb.bmp", flatBmp(grey));
  testenv::writeFile(dir / "Resources/explosion.bmp", flatBmp(grey));
  testenv::writeFile(dir / "Resources/desert05.bmp", flatBmp(kBackdropColour));
  const std::filesystem::path home = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  testenv::captureStdout([] {
    squadron.init(tankHitTest, game.score, game.kills, game.escapes);
    tank.init(camera);
    loadTexture("./Resources/desert05.bmp", kDesertTexture);
  });
  buildPanelLists();
  std::filesystem::current_path(home);
}

// Pixel of the play-plane point (x, y) in an 800 x 600 window with the game's camera.
struct Pixel {
  int x;
  int y;
};
inline Pixel pixelOf(double x, double y) {
  const double tanHalf = std::tan(30.0 * 3.14159265358979323846 / 180.0);
  const double ndcX = -(x / 4.0) / (tanHalf * 700.0 / 600.0);  // world +x is screen left
  const double ndcY = ((y - 1.8) / 4.0) / tanHalf;
  return {static_cast<int>(std::lround(100.0 + 350.0 * (1.0 + ndcX))),
          static_cast<int>(std::lround(300.0 * (1.0 + ndcY)))};
}

inline bool sameColour(Rgb a, Rgb b, int tolerance = 8) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
         std::abs(a.b - b.b) <= tolerance;
}

inline ::testing::AssertionResult showsColour(Pixel p, Rgb expected) {
  const Rgb got = testenv::readPixel(p.x, p.y);
  if (sameColour(got, expected)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "pixel (" << p.x << ", " << p.y << ") is (" << got.r << ", " << got.g << ", " << got.b
         << "), expected (" << expected.r << ", " << expected.g << ", " << expected.b << ")";
}

// A frame with the tank neither advanced nor the squadron moved: what draw alone shows.
inline void drawPausedFrame() {
  const bool paused = brambleshot::game.paused;
  brambleshot::game.paused = true;
  brambleshot::drawFrame();
  brambleshot::game.paused = paused;
}

// Every test starts playing, unpaused, at 800 x 600 with a fresh tank, an empty sky and the
// weapon lights off, and leaves no idle callback behind.
class TankGl : public ::testing::Test {
 protected:
  void SetUp() override {
    using namespace brambleshot;
    initialiseGameOnce();
    testenv::resizeWindow(800, 600);
    game.paused = false;
    game.helpShown = false;
    squadron.aircraft.clear();
    squadron.bombs.clear();
    squadron.explosions.clear();
    squadron.clearGameOver();
    tank.reset();
    tank.pointerX = 0.0;
    tank.pointerY = 0.0;
    for (GLenum light : {GL_LIGHT1, GL_LIGHT2, GL_LIGHT3})
      glDisable(light);
    drawPausedFrame();  // leaves the frame's matrices for aiming
  }

  void TearDown() override {
    using namespace brambleshot;
    glutIdleFunc(nullptr);
    game.paused = false;
    game.helpShown = false;
    tank.reset();
    for (GLenum light : {GL_LIGHT1, GL_LIGHT2, GL_LIGHT3})
      glDisable(light);
  }
};

}  // namespace tanktest
