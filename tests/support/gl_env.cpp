// The shared test window and small GL read-back helpers.
#include "support/gl_env.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

#include "app/frame.h"
#include "world/game.h"
#include "world/lighting.h"
#include "app/startup.h"
#include "assets/bitmap.h"
#include "enemies/squadron.h"
#include "tank/tank.h"

namespace testenv {

namespace {
void displayNothing() {}
}  // namespace

void GlEnvironment::SetUp() {
  using namespace brambleshot;
  static char name[] = "brambleshot-tests";
  static char* argv[] = {name, nullptr};
  int argc = 1;
  setViewSettings(game);
  glutInitWindowPosition(0, 0);
  openWindow(&argc, argv);
  // Frames are drawn by the tests themselves; freeglut needs some display callback.
  glutDisplayFunc(displayNothing);
  applyLight(GL_LIGHT0, sunLight);
  glEnable(GL_LIGHT0);
  glEnable(GL_LIGHTING);
  createDefaultTexture();
  placeCamera(camera);
  glReadBuffer(GL_BACK);
  for (int i = 0; i < 5; ++i)
    pumpEvents();
}

void pumpEvents() {
  glutMainLoopEvent();
}

void resizeWindow(int width, int height) {
  brambleshot::game.windowWidth = width;
  brambleshot::game.windowHeight = height;
  glutReshapeWindow(width > 0 ? width : 1, height > 0 ? height : 1);
  pumpEvents();
}

Rgb readPixel(int x, int y) {
  unsigned char rgb[3] = {0, 0, 0};
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
  return {rgb[0], rgb[1], rgb[2]};
}

void loadAllTextures() {
  using namespace brambleshot;
  static bool loaded = false;
  if (loaded) return;
  loadTexture("./Resources/target.bmp", kReticleTexture);
  loadTexture("./Resources/targetMask.bmp", kReticleMaskTexture);
  loadTexture("./Resources/muzzle_flash.bmp", kMuzzleFlashTexture);
  loadTexture("./Resources/muzzle_flash_mask.bmp", kMuzzleFlashMaskTexture);
  loadTexture("./Resources/bomb.bmp", kBombTexture);
  loadTexture("./Resources/explosion.bmp", kExplosionTexture);
  loadShellTextures();
  loaded = true;
}

}  // namespace testenv
