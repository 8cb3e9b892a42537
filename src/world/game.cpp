// The Game and Camera records and their start-up settings.
#include "world/game.h"

namespace brambleshot {

// Both are constant-initialised, so their place among the long-lived objects does not matter.
Game game;
Camera camera;

void setViewSettings(Game& g) {
  g.orthoLeft = 4.0 / 3.0;
  g.orthoRight = -4.0 / 3.0;
  g.orthoBottom = 1.0;
  g.windowWidth = 800;
  g.orthoTop = -1.0;
  g.windowHeight = 600;
  g.nearPlane = 0.5;
  g.farPlane = 10.0;
}

void placeCamera(Camera& c) {
  c.eye.y = 1.8;
  c.centre.y = 1.8;
  c.eye.z = -4.0;
}

}  // namespace brambleshot
