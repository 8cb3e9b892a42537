// The long-lived game objects. They are defined here, in one file, so that they are constructed
// in a fixed order (the squadron's meshes and lists, then the tank's meshes) and destroyed in the
// reverse order.
#include "enemies/squadron.h"
#include "tank/tank.h"
#include "world/game.h"

namespace brambleshot {

Squadron squadron;
Tank tank;

}  // namespace brambleshot
