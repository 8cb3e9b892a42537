// The shared test window and small GL read-back helpers.
#include "support/gl_env.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>

#include "app/frame.h"
#include "app/startup.h"
#include "assets/bitmap.h"
#include "enemies/squadron.h"
#include "support/test_util.h"
#include "tank/tank.h"
#include "world/game.h"
#include "world/lighting.h"

namespace testenv {

void GlEnvironment::SetUp() {
  using namespace brambleshot;
  static char name[] = "brambleshot-tests";
  static char* argv[] = {name, nullptr};
  int argc = 1;
  setViewSettings(game);
  glutInitWindowPosition(0, 0);
  openWindow(&argc, argv);
  // Frames are drawn by the tests themselves; freeglut needs some display callback.
  glutDisplayFunc([] {});
  applyLight(GL_LIGHT0, sunLight);
  glEnable(GL_LIGHT0);
  glEnable(GL_LIGHTING);
  createDefaultTexture();
  placeCamera(camera);
  glReadBuffer(GL_BACK);
  for (int i = 0; i < 5; ++i)
    glutMainLoopEvent();
}

void resizeWindow(int width, int height) {
  brambleshot::game.windowWidth = width;
  brambleshot::game.windowHeight = height;
  glutReshapeWindow(width > 0 ? width : 1, height > 0 ? height : 1);
  glutMainLoopEvent();
}

Rgb readPixel(int x, int y) {
  unsigned char rgb[3] = {0, 0, 0};
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
  return {rgb[0], rgb[1], rgb[2]};
}

void loadAllTextures(bool again) {
  using namespace brambleshot;
  static bool loaded = false;
  if (loaded && !again) return;
  loadTexture("./Resources/target.bmp", kReticleTexture);
  loadTexture("./Resources/targetMask.bmp", kReticleMaskTexture);
  loadTexture("./Resources/muzzle_flash.bmp", kMuzzleFlashTexture);
  loadTexture("./Resources/muzzle_flash_mask.bmp", kMuzzleFlashMaskTexture);
  loadTexture("./Resources/bomb.bmp", kBombTexture);
  loadTexture("./Resources/explosion.bmp", kExplosionTexture);
  loadShellTextures();
  loaded = true;
}

namespace {

// The quarters' colours, far apart in every channel so that blending leaves them apart.
constexpr Rgb kQuarters[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};

// Loads a 4 x 4 picture, pixel i (in file order) coloured colourOf(i), as texture id.
void loadPixels(unsigned id, const std::function<Rgb(int)>& colourOf) {
  std::string bgr;
  for (int i = 0; i < 16; ++i) {
    const Rgb c = colourOf(i);
    bgr += {static_cast<char>(c.b), static_cast<char>(c.g), static_cast<char>(c.r)};
  }
  TempDir dir;
  writeFile(dir / "picture.bmp", bmpBytes(4, 4, bgr));
  captureStdout([&] { brambleshot::loadTexture((dir / "picture.bmp").string(), id); });
}

char quarterAt(int x, int y) {
  const Rgb p = readPixel(x, y);
  for (int q = 0; q < 4; ++q)
    if (std::abs(p.r - kQuarters[q].r) + std::abs(p.g - kQuarters[q].g) +
            std::abs(p.b - kQuarters[q].b) <
        30)
      return static_cast<char>('A' + q);
  return '?';
}

}  // namespace

void loadQuarteredTexture(unsigned id) {
  loadPixels(id, [](int i) { return kQuarters[(i / 8) * 2 + (i % 4) / 2]; });
}

void loadFlatTexture(unsigned id, Rgb colour) {
  loadPixels(id, [colour](int) { return colour; });
}

std::string quartersIn(int left, int bottom, int right, int top) {
  const int x0 = left + (right - left) / 4, x1 = right - (right - left) / 4;
  const int y0 = bottom + (top - bottom) / 4, y1 = top - (top - bottom) / 4;
  return {quarterAt(x0, y1), quarterAt(x1, y1), quarterAt(x0, y0), quarterAt(x1, y0)};
}

void pixelOnPlane(double x, double y, int& windowX, int& windowY) {
  brambleshot::windowPointOf(x, y, windowX, windowY);
  windowY = brambleshot::game.windowHeight - 1 - windowY;
}

std::string quartersOnPlane(double x0, double y0, double x1, double y1) {
  int ax = 0, ay = 0, bx = 0, by = 0;
  pixelOnPlane(x0, y0, ax, ay);
  pixelOnPlane(x1, y1, bx, by);
  return quartersIn(std::min(ax, bx), std::min(ay, by), std::max(ax, bx), std::max(ay, by));
}

}  // namespace testenv
