// PLACEHOLDER (being written): the squadron.
#include "enemies/squadron.h"

namespace brambleshot {

void Squadron::init(HitTest test, int& scoreCounter, int& killCounter, int& escapeCounter) {
  hitTest = test;
  score = &scoreCounter;
  kills = &killCounter;
  escapes = &escapeCounter;
  gameOver = true;
}
void Squadron::launchAircraft() {}
void Squadron::updateAndDraw(bool) {}
void Squadron::gunfire(const double[2]) {}
bool Squadron::shellImpact(const double[2]) { return false; }
void Squadron::spawnExplosion(const double[2], double, bool) {}

}  // namespace brambleshot
