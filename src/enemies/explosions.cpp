// Explosions: spawning, growth, the blast that damages what the growing square covers, the
// explosion light and removal.
#include <GL/gl.h>
#include <GL/glu.h>

#include <vector>

#include "assets/material.h"
#include "enemies/hitbox.h"
#include "enemies/squadron.h"
#include "world/events.h"
#include "world/lighting.h"

namespace brambleshot {

namespace {
constexpr double kSparkRadius = 0.1;  // explosions this small neither light the scene nor count
constexpr double kLargeRadius = 0.5;  // aircraft, bombs and the tank end in 0.6, the shell in 0.3
}  // namespace

// The light is sent to GL only when it is switched on, so it stays at the explosion that lit
// it while later ones move the record's position.
void Squadron::spawnExplosion(const double position[2], double maxRadius, bool damaging) {
  const Explosion explosion{position[0], position[1], 0.0, maxRadius, damaging};
  explosionLight.position[0] = static_cast<float>(explosion.x);
  explosionLight.position[1] = static_cast<float>(explosion.y);
  if (maxRadius > kSparkRadius && !explosionLightOn) {
    applyLight(GL_LIGHT4, explosionLight);
    glEnable(GL_LIGHT4);
    explosionLightOn = true;
  }
  explosions.push_back(explosion);
  if (maxRadius >= kLargeRadius) {
    raiseEvent(GameEvent::largeExplosion, explosion.x);
  } else if (maxRadius > kSparkRadius) {
    raiseEvent(GameEvent::smallExplosion, explosion.x);
  }
}

// Blasts append explosions (and the hit test may append the tank's); the pass reads the length
// afresh so those grow and blast in this same pass, and re-reads the record after each blast.
void Squadron::explosionPass(bool paused) {
  for (std::size_t i = 0; i < explosions.size(); ++i) {
    if (!paused) {
      explosions[i].radius += explosions[i].maxRadius * 0.25;
      if (explosions[i].damaging) {
        const double centre[2] = {explosions[i].x, explosions[i].y};
        applyBlast(centre, explosions[i].radius);
      }
    }
    const double radius = explosions[i].radius;
    glPushMatrix();
    glTranslated(explosions[i].x, explosions[i].y, 0);
    glScaled(radius, radius, radius);
    glCallList(explosionList);
    glPopMatrix();
  }
  removeFinishedExplosions();
}

// One frame of one damaging explosion: 50 hit points from every aircraft and the end of every
// bomb that the open square around centre overlaps, then the tank's turn through hitTest.
void Squadron::applyBlast(const double centre[2], double radius) {
  const double c[2] = {centre[0], centre[1]};
  const double r = radius;
  for (std::size_t i = 0; i < aircraft.size(); ++i) {
    if (aircraft[i].dead || !hitBoxOverlapsSquare(aircraft[i], c, r)) continue;
    aircraft[i].hitPoints -= 50;
    if (aircraft[i].hitPoints <= 0) destroyAircraft(i, 250);
  }
  removeDeadAircraft();
  for (std::size_t i = 0; i < bombs.size(); ++i) {
    if (bombs[i].dead || !hitBoxOverlapsSquare(bombs[i], c, r)) continue;
    destroyBomb(i, 75);
  }
  removeDeadBombs();
  if (hitTest != nullptr && hitTest(c, r)) gameOver = true;
}

// The light goes out with the last large explosion; the next one sets it up at its own centre.
void Squadron::removeFinishedExplosions() {
  explosionLightOn = false;
  std::erase_if(explosions, [](const Explosion& e) { return e.radius >= e.maxRadius; });
  for (const Explosion& e : explosions) {
    if (e.maxRadius > kSparkRadius) {
      explosionLightOn = true;
      break;
    }
  }
  if (!explosionLightOn) glDisable(GL_LIGHT4);
}

// A unit ball lit by its own emission, scaled to the current radius when drawn.
void Squadron::buildExplosionList() {
  explosionList = glGenLists(1);
  glNewList(explosionList, GL_COMPILE);
  applyMaterial(explosionMaterial);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, kExplosionTexture);
  gluSphere(quadric, 1, 16, 16);
  glDisable(GL_TEXTURE_2D);
  glEndList();
}

}  // namespace brambleshot
