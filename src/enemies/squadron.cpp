// The squadron's set-up, the aircraft (launch, flight, escape, drawing) and the tank's weapons.
#include "enemies/squadron.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <vector>

#include "assets/bitmap.h"
#include "assets/material.h"
#include "enemies/hitbox.h"
#include "world/events.h"
#include "world/lighting.h"
#include "world/random.h"

namespace brambleshot {

namespace {

constexpr double kLaunchX = -3.5;
constexpr double kEscapeX = 3.5;
constexpr double kAltitudes[4] = {2.8, 3.1, 3.4, 3.8};

// Most aircraft allowed in the air at once, by score.
int launchCap(int score) {
  if (score < 25000) return 3;
  if (score < 50000) return 4;
  return 5;
}

// Draws the speed for a new aircraft; the first band draws nothing.
double launchSpeed(int score) {
  if (score < 1000) return 0.01;
  if (score < 5000) return (rand() % 2 + 1) * 0.01;
  if (score < 25000) return (rand() % 3 + 1) * 0.01;
  if (score < 75000) return (rand() % 4 + 1) * 0.01;
  if (score < 90000) return (rand() % 3 + 2) * 0.01;
  return (rand() % 2 + 3) * 0.01;
}

}  // namespace

void Squadron::init(HitTest test, int& scoreCounter, int& killCounter, int& escapeCounter) {
  score = &scoreCounter;
  kills = &killCounter;
  escapes = &escapeCounter;
  hitTest = test;
  gameOver = true;
  explosionLightOn = false;

  quadric = gluNewQuadric();
  gluQuadricNormals(quadric, GLU_SMOOTH);
  gluQuadricDrawStyle(quadric, GLU_FILL);
  gluQuadricTexture(quadric, GL_TRUE);

  aircraftMesh.load("./Resources/cessna500.m", 1);
  aircraftList = glGenLists(1);
  glNewList(aircraftList, GL_COMPILE);
  applyMaterial(aircraftMaterial);
  glRotated(180, 0, 1, 0);
  aircraftMesh.draw(GL_TRIANGLES, GL_SMOOTH);
  glEndList();

  loadTexture("./Resources/bomb.bmp", kBombTexture);
  buildBombList();
  loadTexture("./Resources/explosion.bmp", kExplosionTexture);
  buildExplosionList();
}

void Squadron::addScore(int amount) {
  if (!gameOver) *score += amount;
}

// Refused while the game is over or while the score's band already has its share in the air
// (also when the score fell and more are in flight than the band allows).
void Squadron::launchAircraft() {
  const int s = *score;
  if (gameOver || inFlight >= launchCap(s)) return;
  inFlight += 1;
  Aircraft plane;
  plane.speed = launchSpeed(s);  // drawn before the altitude
  plane.x = kLaunchX;
  plane.y = kAltitudes[rand() % 4];
  aircraft.push_back(plane);
}

void Squadron::updateAndDraw(bool paused) {
  explosionPass(paused);
  aircraftPass(paused);
  removeDeadAircraft();
  bombPass(paused);
}

// Escape is tested before the move and also while paused, so an aircraft is drawn once beyond
// the edge and counted in the next pass.
void Squadron::aircraftPass(bool paused) {
  for (std::size_t i = 0; i < aircraft.size(); ++i) {
    if (aircraft[i].x > kEscapeX) {
      addScore(-aircraft[i].hitPoints);
      aircraft[i].dead = true;
      *escapes += 1;
      inFlight -= 1;
      continue;
    }
    if (!paused) advance(i);
    glPushMatrix();
    glTranslated(aircraft[i].x, aircraft[i].y, 0);
    glCallList(aircraftList);
    glPopMatrix();
  }
}

void Squadron::advance(std::size_t index) {
  aircraft[index].x += aircraft[index].speed;
  const double x = aircraft[index].x;
  if (x > -2.7 && x < 2.7 && rand() % 100000 < bombThreshold()) dropBomb(aircraft[index]);
}

void Squadron::destroyAircraft(std::size_t index, int points) {
  addScore(points);
  aircraft[index].dead = true;
  *kills += 1;
  inFlight -= 1;
  // Copied first: the explosion is appended to another array, but keep no reference across it.
  const double wreck[2] = {aircraft[index].x, aircraft[index].y};
  raiseEvent(GameEvent::aircraftShotDown, wreck[0]);
  spawnExplosion(wreck, 0.6, true);
}

void Squadron::destroyBomb(std::size_t index, int points) {
  addScore(points);
  bombs[index].dead = true;
  const double wreck[2] = {bombs[index].x, bombs[index].y};
  raiseEvent(GameEvent::bombDestroyed, wreck[0]);
  spawnExplosion(wreck, 0.6, true);
}

// Hit-scan damage of the light guns: one hit point from every target under the aim point.
void Squadron::gunfire(const double aimPoint[2]) {
  const double p[2] = {aimPoint[0], aimPoint[1]};
  bool hit = false;
  for (std::size_t i = 0; i < aircraft.size(); ++i) {
    if (aircraft[i].dead || !hitBoxContains(aircraft[i], p)) continue;
    gunStreak += 1;
    hit = true;
    if (--aircraft[i].hitPoints <= 0) destroyAircraft(i, 200);
  }
  removeDeadAircraft();
  for (std::size_t i = 0; i < bombs.size(); ++i) {
    if (bombs[i].dead || !hitBoxContains(bombs[i], p)) continue;
    gunStreak += 1;
    hit = true;
    if (--bombs[i].hitPoints <= 0) destroyBomb(i, 50);
  }
  removeDeadBombs();
  // Read before a miss resets the streak, so a miss right after the 1st, 9th ... hit sparks too.
  if (gunStreak % 8 == 1) spawnExplosion(p, 0.1, false);
  if (!hit) gunStreak = 0;
}

// The shell does no damage itself: its explosion's blast does.
bool Squadron::shellImpact(const double position[2]) {
  const double p[2] = {position[0], position[1]};
  for (std::size_t i = 0; i < aircraft.size(); ++i) {
    if (!aircraft[i].dead && hitBoxContains(aircraft[i], p)) {
      raiseEvent(GameEvent::shellImpact, p[0]);
      spawnExplosion(p, 0.3, true);
      return true;
    }
  }
  for (std::size_t i = 0; i < bombs.size(); ++i) {
    if (!bombs[i].dead && hitBoxContains(bombs[i], p)) {
      raiseEvent(GameEvent::shellImpact, p[0]);
      spawnExplosion(p, 0.3, true);
      return true;
    }
  }
  return false;
}

void Squadron::removeDeadAircraft() {
  std::erase_if(aircraft, [](const Aircraft& plane) { return plane.dead; });
}

}  // namespace brambleshot
