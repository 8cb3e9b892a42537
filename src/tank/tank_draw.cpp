// Drawing the tank: shell, reticle, hull, dome, wheels, light guns with tracers, cannon.
#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include "tank/tank.h"
#include "world/lighting.h"

namespace brambleshot {

namespace {

constexpr int kSlices = 16;
constexpr int kStacks = 16;

// The solid shapes, compiled once: GLU and freeglut would otherwise work out every vertex
// again in every frame. Offsets from Tank::shapeLists.
enum Shape { kDome, kGunBarrel, kShellBody, kShellNose, kCannonBarrel, kCannonMuzzle, kShapeCount };

void drawShape(const Tank& tank, Shape shape) {
  glCallList(tank.shapeLists + shape);
}

// Where each light gun's tracer dash starts and ends along the line to the reticle, by
// gunPhase. The right gun runs one eighth ahead so the two dashes cover the line in 8 steps.
constexpr double kTracerDash[4][2][2] = {
    {{0.75, 0.875}, {0.875, 1.0}},   // phase 0 (the last step of a cycle)
    {{0.0, 0.125}, {0.125, 0.25}},   // phase 1
    {{0.25, 0.375}, {0.375, 0.5}},   // phase 2
    {{0.5, 0.625}, {0.625, 0.75}}};  // phase 3

// The square (-1..1)^2 at z = 0 that both billboards are drawn on.
void unitQuad() {
  glBegin(GL_QUADS);
  glTexCoord2d(0, 0);
  glVertex3d(-1, -1, 0);
  glTexCoord2d(0, 1);
  glVertex3d(-1, 1, 0);
  glTexCoord2d(1, 1);
  glVertex3d(1, 1, 0);
  glTexCoord2d(1, 0);
  glVertex3d(1, -1, 0);
  glEnd();
}

// The mask is multiplied into the frame to cut the shape out, then the picture added into it.
void maskedBillboard(TextureId mask, TextureId image) {
  glColor3f(1.0f, 1.0f, 1.0f);
  glBlendFunc(GL_DST_COLOR, GL_ZERO);
  glBindTexture(GL_TEXTURE_2D, mask);
  unitQuad();
  glBlendFunc(GL_ONE, GL_ONE);
  glBindTexture(GL_TEXTURE_2D, image);
  unitQuad();
}

void beginFlatPicture() {
  glEnable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glEnable(GL_TEXTURE_2D);
}

// In the gun's translated frame: a yellow dash towards the aim point. Differences are world
// units drawn inside the tank's 0.8 scale, so the dash falls short of the reticle.
void drawTracer(const Tank& tank, double mount, int side) {
  const double dx = tank.aimX - (tank.x + mount);
  const double dy = tank.aimY - (tank.y + 0.1);
  const int phase = tank.gunPhase >= 1 && tank.gunPhase <= 3 ? tank.gunPhase : 0;
  const double f0 = kTracerDash[phase][side][0];
  const double f1 = kTracerDash[phase][side][1];
  glDisable(GL_LIGHTING);
  glLineWidth(2.0f);
  glBegin(GL_LINES);
  glColor3f(1.0f, 1.0f, 0.0f);
  glVertex3d(dx * f0, dy * f0, 0.0);
  glVertex3d(dx * f1, dy * f1, 0.0);
  glEnd();
  glLineWidth(1.0f);
  glEnable(GL_LIGHTING);
}

void drawLightGun(const Tank& tank, double mount, double angle, int side) {
  glPushMatrix();
  glTranslated(mount, 0.1, 0.0);
  if (tank.gunsFiring) drawTracer(tank, mount, side);
  // Local -y now points out of the muzzle, as flashList expects.
  glRotated(angle + 90.0, 0.0, 0.0, 1.0);
  if (tank.gunsFiring && tank.gunPhase == 1) glCallList(tank.flashList);
  glRotated(90.0, 1.0, 0.0, 0.0);
  drawShape(tank, kGunBarrel);
  glPopMatrix();
}

}  // namespace

void Tank::buildDisplayLists() {
  flashList = glGenLists(1);
  glNewList(flashList, GL_COMPILE);
  beginFlatPicture();
  glPushMatrix();
  glTranslated(0.0, -0.3, 0.0);
  glRotated(180.0, 0.0, 0.0, 1.0);
  glScaled(0.05, 0.1, 0.0);
  maskedBillboard(kMuzzleFlashMaskTexture, kMuzzleFlashTexture);
  glPopMatrix();
  glDisable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glEndList();

  reticleList = glGenLists(1);
  glNewList(reticleList, GL_COMPILE);
  beginFlatPicture();
  glPushMatrix();
  glScaled(0.1, 0.1, 0.1);
  maskedBillboard(kReticleMaskTexture, kReticleTexture);
  glPopMatrix();
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_LIGHTING);
  glDisable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
  glEndList();

  shapeLists = glGenLists(kShapeCount);
  auto compile = [this](Shape shape, auto draw) {
    glNewList(shapeLists + shape, GL_COMPILE);
    draw();
    glEndList();
  };
  compile(kDome, [] { glutSolidSphere(0.18, kSlices, kStacks); });
  compile(kGunBarrel, [this] { gluCylinder(quadric, 0.02, 0.02, 0.2, kSlices, kStacks); });
  compile(kShellBody, [this] { gluCylinder(quadric, 0.04, 0.04, 0.2, kSlices, kStacks); });
  compile(kShellNose, [this] { gluCylinder(quadric, 0.04, 0.0, 0.1, kSlices, kStacks); });
  compile(kCannonBarrel, [this] { gluCylinder(quadric, 0.04, 0.04, 0.3, kSlices, kStacks); });
  compile(kCannonMuzzle, [this] { gluCylinder(quadric, 0.06, 0.06, 0.05, kSlices, kStacks); });
}

void Tank::draw() {
  if (shellInFlight) {
    glPushMatrix();
    glTranslated(shellX, shellY, 0.0);
    // The cylinder's axis (local +z) now points along the heading.
    glRotated(shellHeading + 90.0, 0.0, 0.0, 1.0);
    glRotated(90.0, 1.0, 0.0, 0.0);
    applyMaterial(shellMaterial);
    drawShape(*this, kShellBody);
    glTranslated(0.0, 0.0, 0.2);
    drawShape(*this, kShellNose);
    glPopMatrix();
  }

  glPushMatrix();
  glTranslated(aimX, aimY, 0.0);
  glCallList(reticleList);
  glPopMatrix();

  glPushMatrix();
  glTranslated(x, y, 0.0);
  glScaled(0.8, 0.8, 0.8);
  hull.draw(GL_TRIANGLES, GL_FLAT);
  glShadeModel(GL_SMOOTH);
  // The dome has no material of its own: it wears the hull's, just applied.
  glPushMatrix();
  glTranslated(0.0, 0.05, 0.0);
  drawShape(*this, kDome);
  glPopMatrix();
  for (Mesh& wheel : wheels)
    wheel.draw(GL_TRIANGLES, GL_SMOOTH);

  applyMaterial(gunMaterial);
  drawLightGun(*this, 0.28, leftGunAngle, 0);
  drawLightGun(*this, -0.28, rightGunAngle, 1);

  glPushMatrix();
  glTranslated(0.0, 0.1, 0.0);
  glRotated(cannonAngle + 90.0, 0.0, 0.0, 1.0);
  if (reload > 490) {
    // Twice the guns' flash, centred 0.5 out along the barrel.
    glPushMatrix();
    glTranslated(0.0, 0.1, 0.0);
    glScaled(2.0, 2.0, 0.0);
    glCallList(flashList);
    glPopMatrix();
  }
  glRotated(90.0, 1.0, 0.0, 0.0);
  drawShape(*this, kCannonBarrel);
  glTranslated(0.0, 0.0, 0.25);
  drawShape(*this, kCannonMuzzle);
  glPopMatrix();

  glPopMatrix();
}

}  // namespace brambleshot
