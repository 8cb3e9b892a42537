// The long-lived game objects. They are defined here, in one file, so that they are constructed
// in a fixed order (the squadron's meshes and lists, the camera, the tank's meshes) and destroyed
// in the reverse order.
#include "app/game.h"

#include "enemies/squadron.h"
#include "tank/tank.h"

namespace brambleshot {

Squadron squadron;
Game game;
Camera camera;
Tank tank;

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
