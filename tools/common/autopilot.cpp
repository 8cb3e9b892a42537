// The tools' scripted player.
#include "autopilot.h"

#include <cmath>

#include "app/frame.h"
#include "enemies/squadron.h"
#include "tank/tank.h"
#include "world/game.h"

namespace tools {

using brambleshot::Aircraft;
using brambleshot::Bomb;
using brambleshot::squadron;
using brambleshot::tank;

void autopilot(bool shoot, bool seekBombs, const AutopilotInput& input) {
  const Aircraft* target = nullptr;
  for (const Aircraft& a : squadron.aircraft)
    if (!target || a.x > target->x) target = &a;
  if (shoot) {
    int wx = 0, wy = 0;
    if (target &&
        brambleshot::windowPointOf(target->x + 0.08 + target->speed * 4, target->y + 0.05, wx, wy))
      input.motion(wx, wy);
    if (tank.gunsFiring != (target != nullptr)) input.guns(target != nullptr);
    if (target && tank.reload == 0) input.key(' ');
  }
  const Bomb* nearest = nullptr;
  for (const Bomb& b : squadron.bombs)
    if (!nearest || std::abs(b.x - tank.x) < std::abs(nearest->x - tank.x)) nearest = &b;
  if (nearest) {
    const double gap = nearest->x - tank.x;
    if (seekBombs && std::abs(gap) > 0.05) input.key(gap > 0 ? 'a' : 'd');
    if (!seekBombs && std::abs(gap) < 0.6) input.key(gap > 0 ? 'd' : 'a');
  }
}

}  // namespace tools
