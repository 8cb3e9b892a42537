// Brambleshot: start-up and the GLUT main loop.
#include <GL/freeglut.h>
#include <GL/gl.h>

#include <ctime>

#include "app/game.h"
#include "app/input.h"
#include "app/lighting.h"
#include "app/random.h"
#include "app/startup.h"
#include "assets/bitmap.h"
#include "enemies/squadron.h"
#include "panel/panel.h"
#include "tank/tank.h"

int main(int argc, char** argv) {
  using namespace brambleshot;
  setViewSettings(game);
  openWindow(&argc, argv);
  installCallbacks();
  applyLight(GL_LIGHT0, sunLight);
  glEnable(GL_LIGHT0);
  glEnable(GL_LIGHTING);
  brambleshot::srand(static_cast<std::uint32_t>(std::time(nullptr)));
  createDefaultTexture();
  placeCamera(camera);
  squadron.init(tankHitTest, game.score, game.kills, game.escapes);
  tank.init(camera);
  game.score = 0;
  game.kills = 0;
  game.escapes = 0;
  loadShellTextures();
  buildPanelLists();
  glutSetCursor(GLUT_CURSOR_NONE);
  glutMainLoop();
  return 0;
}
