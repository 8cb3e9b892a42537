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

// Both masks are black, so each billboard shows exactly its picture's colour.
inline constexpr Rgb kReticleColour{255, 0, 0};
inline constexpr Rgb kFlashColour{0, 255, 0};
inline constexpr Rgb kBackdropColour{40, 90, 200};

// A 4 x 4 BMP of one colour (pixels stored B, G, R).
inline std::string flatBmp(Rgb colour) {
  std::string pixels;
  for (int i = 0; i < 16; ++i)
    pixels += {char(colour.b), char(colour.g), char(colour.r)};
  return testenv::bmpBytes(4, 4, pixels);
}

// Start-up's squadron and tank steps, once per binary, from a temporary ./Resources that holds
// only synthetic images (the meshes are missing and stay empty: the dome and barrels remain).
inline void initialiseGameOnce() {
  static bool done = false;
  if (done) return;
  done = true;
  using namespace brambleshot;
  testenv::TempDir dir;
  std::filesystem::create_directory(dir / "Resources");
  const struct {
    const char* file;
    Rgb colour;
  } images[] = {{"target", kReticleColour},     {"targetMask", {0, 0, 0}},
                {"muzzle_flash", kFlashColour}, {"muzzle_flash_mask", {0, 0, 0}},
                {"bomb", {128, 128, 128}},      {"explosion", {128, 128, 128}},
                {"desert05", kBackdropColour}};
  for (const auto& image : images) {
    testenv::writeFile(dir / ("Resources/" + std::string(image.file) + ".bmp"),
                       flatBmp(image.colour));
  }
  const std::filesystem::path home = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  testenv::captureStdout([] {
    squadron.init(tankHitTest, game.score, game.kills, game.escapes);
    tank.init(camera);
    loadTexture("./Resources/desert05.bmp", kDesertTexture);
  });
  std::filesystem::current_path(home);
  buildPanelLists();
}

struct Pixel {
  int x;
  int y;
};

// Window pixel of the play-plane point (x, y) at 800 x 600 with the game's camera.
inline Pixel pixelOf(double x, double y) {
  const double tanHalf = std::tan(30.0 * 3.14159265358979323846 / 180.0);
  const double ndcX = -(x / 4.0) / (tanHalf * 700.0 / 600.0);  // world +x is screen left
  const double ndcY = ((y - 1.8) / 4.0) / tanHalf;
  return {int(std::lround(100.0 + 350.0 * (1.0 + ndcX))), int(std::lround(300.0 * (1.0 + ndcY)))};
}

inline bool shows(Pixel p, Rgb expected) {
  const Rgb got = testenv::readPixel(p.x, p.y);
  return std::abs(got.r - expected.r) <= 8 && std::abs(got.g - expected.g) <= 8 &&
         std::abs(got.b - expected.b) <= 8;
}

// A frame in which the tank is drawn but not advanced.
inline void drawPausedFrame() {
  const bool paused = brambleshot::game.paused;
  brambleshot::game.paused = true;
  brambleshot::drawFrame();
  brambleshot::game.paused = paused;
}

// Each test starts playing, unpaused, at 800 x 600, with a fresh tank, an empty sky, the weapon
// lights off and the frame's matrices in place for aiming.
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
    tank.pointerX = tank.pointerY = 0.0;
    for (GLenum light : {GL_LIGHT1, GL_LIGHT2, GL_LIGHT3})
      glDisable(light);
    drawPausedFrame();
  }

  void TearDown() override {
    glutIdleFunc(nullptr);  // the pause keys may have installed the game's idle callback
    brambleshot::game.paused = false;
    brambleshot::game.helpShown = false;
    brambleshot::tank.reset();
  }
};

}  // namespace tanktest
