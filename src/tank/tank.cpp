// PLACEHOLDER (being written): the tank.
#include "tank/tank.h"

#include "app/game.h"

namespace brambleshot {

void Tank::init(const Camera&) {}
void Tank::reset() {}
void Tank::steer(int, const Camera&) {}
void Tank::aim(double, double, const Camera&) {}
void Tank::fire() {}
void Tank::updateCannon() {}
void Tank::updateGuns() {}
bool Tank::blastTest(const double[2], double) { return false; }
void Tank::draw() {}

}  // namespace brambleshot
