// Bombs: the drop chance, the fall, the ground impact and the bomb's shape.
#include <GL/gl.h>
#include <GL/glu.h>

#include <vector>

#include "assets/material.h"
#include "enemies/squadron.h"
#include "world/events.h"
#include "world/lighting.h"
#include "world/random.h"

namespace brambleshot {

// Bombs come thicker as the score grows.
int Squadron::bombThreshold() const {
  const int s = *score;
  if (s < 2500) return 100;
  if (s < 5000) return 200;
  if (s < 10000) return 250;
  if (s < 25000) return 330;
  if (s < 50000) return 660;
  return 750;
}

void Squadron::dropBomb(const Aircraft& plane) {
  Bomb bomb;
  bomb.x = plane.x;
  bomb.y = plane.y;
  bomb.spin = static_cast<double>(rand() % 360);
  bombs.push_back(bomb);
  raiseEvent(GameEvent::bombReleased, bomb.x);
}

// The ground test uses the height before this frame's fall and runs while paused too, so a bomb
// is drawn once just below the ground and explodes in the next pass.
void Squadron::bombPass(bool paused) {
  for (std::size_t i = 0; i < bombs.size(); ++i) {
    if (bombs[i].y < 0) {
      bombs[i].dead = true;
      const double impact[2] = {bombs[i].x, bombs[i].y};
      raiseEvent(GameEvent::bombHitsGround, impact[0]);
      spawnExplosion(impact, 0.6, true);
      continue;
    }
    if (!paused) {
      bombs[i].y -= 0.01;
      bombs[i].spin += 1;
    }
    glPushMatrix();
    glTranslated(bombs[i].x, bombs[i].y, 0);
    glRotated(bombs[i].spin, 0, 1, 0);
    glCallList(bombList);
    glPopMatrix();
  }
  removeDeadBombs();
}

void Squadron::removeDeadBombs() {
  std::erase_if(bombs, [](const Bomb& bomb) { return bomb.dead; });
}

namespace {

// Two triangles over the same corners, one facing each way, so the fin is lit from both sides.
void drawFin() {
  glBegin(GL_TRIANGLES);
  glNormal3d(1, 0, 0);
  glVertex3d(0, 0, 0);
  glVertex3d(0, 0.03, 0);
  glVertex3d(0, 0.05, 0.05);
  glNormal3d(-1, 0, 0);
  glVertex3d(0, 0, 0);
  glVertex3d(0, 0.03, 0);
  glVertex3d(0, 0.05, 0.05);
  glEnd();
}

}  // namespace

// Nose down, three fins up; the lowest point is 0.2 below the reference point, like the hit box.
void Squadron::buildBombList() {
  bombList = glGenLists(1);
  glNewList(bombList, GL_COMPILE);
  applyMaterial(bombBodyMaterial);
  glPushMatrix();
  glTranslated(0, -0.04, 0);

  // The body and its two round ends make a closed shape, so only its front faces are drawn;
  // the fins are open and stay two-sided.
  glEnable(GL_CULL_FACE);

  // Body: the cylinder, turned to run from y = 0.1 down to y = -0.1.
  glPushMatrix();
  glTranslated(0, 0.1, 0);
  glRotated(90, 1, 0, 0);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, kBombTexture);
  gluCylinder(quadric, 0.06, 0.06, 0.2, 16, 16);
  glDisable(GL_TEXTURE_2D);
  glPopMatrix();

  applyMaterial(bombTailMaterial);
  glPushMatrix();  // nose
  glTranslated(0, -0.1, 0);
  gluSphere(quadric, 0.06, 16, 16);
  glPopMatrix();

  glPushMatrix();  // tail cap and fins
  glTranslated(0, 0.1, 0);
  gluSphere(quadric, 0.06, 16, 16);
  glDisable(GL_CULL_FACE);
  glTranslated(0, 0.06, 0);
  drawFin();
  glRotated(120, 0, 1, 0);
  drawFin();
  glRotated(120, 0, 1, 0);
  drawFin();
  glPopMatrix();

  glPopMatrix();
  glEndList();
}

}  // namespace brambleshot
