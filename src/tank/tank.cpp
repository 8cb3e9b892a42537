// The tank's state, steering, blast damage, aiming and its two kinds of weapon.
#include "tank/tank.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

#include "assets/bitmap.h"
#include "assets/vec.h"
#include "enemies/hitbox.h"
#include "enemies/squadron.h"
#include "host/exact_math.h"
#include "world/events.h"
#include "world/game.h"
#include "world/lighting.h"

namespace brambleshot {

namespace {

constexpr double kStep = 0.05;                      // world units per steering key event
constexpr double kLimit = 2.2;                      // |x| must stay strictly below this
constexpr double kWheelTurn = 0.16666666666666669;  // degrees per steering step
constexpr double kGunMount = 0.28;     // light guns sit this far either side of the cannon
constexpr double kFarDepth = 1.05245;  // window depth just inside the perspective's limit
constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr double kShellSpeed = 0.1;  // world units per frame
constexpr double kFieldEdge = 4.5;   // a shell reaching this x or height is gone
constexpr int kReloadFrames = 500;
constexpr int kCannonLightEnd = 490;  // the cannon light burns while reload is above this
constexpr int kBlastDamage = 50;

// Elevation of the vector (dx, dy) from +x, in degrees, 0..180 whatever the sign of dy.
// The vector is first scaled so its larger component is 1, so tiny vectors do not underflow
// to "no length"; a mount exactly under the aim point points straight up.
double elevation(double dx, double dy) {
  const double larger = std::max(std::fabs(dx), std::fabs(dy));
  if (!(larger > 0.0)) return 90.0;
  const Vec2 along{1.0, 0.0};
  const Vec2 toAim{dx / larger, dy / larger};
  return along.angleTo(toAim) * kDegreesPerRadian;
}

// Points a weapon light 0.25 out along a barrel at angle degrees from (baseX, baseY).
void placeLight(LightSource& light, double baseX, double baseY, double angle) {
  const double a = angle * kRadiansPerDegree;
  light.position[0] = static_cast<float>(baseX + 0.25 * host::exactCos(a));
  light.position[1] = static_cast<float>(baseY + 0.25 * host::exactSin(a));
}

}  // namespace

void Tank::init(const Camera& camera) {
  x = 0.0;
  y = -0.1;
  hull.load("./Resources/Tank.m", 0);
  hull.material = &hullMaterial;
  wheels[0].load("./Resources/Wheel.m", 0);
  wheels[0].scale = 0.3;
  wheels[0].material = &wheelMaterial;
  for (int i = 1; i < 4; ++i)
    wheels[0].copyTo(wheels[i]);
  wheels[0].position = {0.29, -0.1, 0.36};
  wheels[1].position = {-0.29, -0.1, 0.36};
  wheels[2].position = {-0.29, -0.1, -0.36};
  wheels[3].position = {0.29, -0.1, -0.36};
  quadric = gluNewQuadric();
  gluQuadricNormals(quadric, GLU_SMOOTH);
  aim(0.0, 0.0, camera);
  health = 250;
  gunsFiring = false;
  gunPhase = 0;
  reload = 0;
  shellInFlight = false;
  loadTexture("./Resources/target.bmp", kReticleTexture);
  loadTexture("./Resources/targetMask.bmp", kReticleMaskTexture);
  loadTexture("./Resources/muzzle_flash.bmp", kMuzzleFlashTexture);
  loadTexture("./Resources/muzzle_flash_mask.bmp", kMuzzleFlashMaskTexture);
  buildDisplayLists();
}

// A new game: the aim point, the angles and the wheels stay as they were.
void Tank::reset() {
  x = 0.0;
  health = 250;
  gunsFiring = false;
  gunPhase = 0;
  reload = 0;
  shellInFlight = false;
}

void Tank::steer(int direction, const Camera& camera) {
  const double candidate = x - direction * kStep;
  if (candidate > -kLimit && candidate < kLimit) x = candidate;
  // The wheels turn even when the tank is held at a limit.
  for (Mesh& wheel : wheels)
    wheel.rotationAngle = direction * kWheelTurn;
  aim(pointerX, pointerY, camera);
}

bool Tank::blastTest(const double centre[2], double radius) {
  if (!overlapsSquare(hitBoxAt(x, y, outline), centre, radius)) return false;
  health -= kBlastDamage;
  return health <= 0;
}

// Un-projects the pointer through the matrices and viewport the last frame left behind and
// meets its ray with the play plane z = 0.
void Tank::aim(double windowX, double windowY, const Camera& camera) {
  pointerX = windowX;
  pointerY = windowY;

  GLdouble modelview[16];
  GLdouble projection[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  // A minimised window leaves an empty viewport, which the un-projection would divide by.
  viewport[2] = std::max(viewport[2], 1);
  viewport[3] = std::max(viewport[3], 1);

  Vec3 nearPoint;
  Vec3 farPoint;
  const bool projected = gluUnProject(windowX, windowY, 0.0, modelview, projection, viewport,
                                      &nearPoint.x, &nearPoint.y, &nearPoint.z) == GL_TRUE &&
                         gluUnProject(windowX, windowY, kFarDepth, modelview, projection, viewport,
                                      &farPoint.x, &farPoint.y, &farPoint.z) == GL_TRUE;
  if (projected) {
    const Vec3 d{farPoint.x - nearPoint.x, farPoint.y - nearPoint.y, farPoint.z - nearPoint.z};
    const Vec3& e = camera.eye;
    const double t = -e.z / (d.z - e.z);
    const double newAimX = e.x + (d.x - e.x) * t;
    const double newAimY = e.y - (d.y + e.y) * t;
    // A singular projection or a ray parallel to the plane: keep the last good aim point.
    if (std::isfinite(newAimX) && std::isfinite(newAimY)) {
      aimX = newAimX;
      aimY = newAimY;
    }
  }
  // The mounts sit at height 0 on their own x; the tank may have moved since the last aim.
  leftGunAngle = elevation(aimX - kGunMount - x, aimY);
  rightGunAngle = elevation(aimX + kGunMount - x, aimY);
  cannonAngle = elevation(aimX - x, aimY);
}

// The shell starts on the ground under the tank, not at the muzzle.
void Tank::fire() {
  if (reload != 0) return;
  shellInFlight = true;
  shellX = x;
  reload = kReloadFrames;
  shellY = 0.0;
  shellHeading = cannonAngle;
}

void Tank::updateCannon() {
  GLboolean lit = GL_FALSE;
  glGetBooleanv(GL_LIGHT3, &lit);
  // fire() sets the full reload, so this is the shell's first frame of flight.
  if (shellInFlight && reload == kReloadFrames) raiseEvent(GameEvent::cannonShot, x);
  if (shellInFlight) {
    const double h = shellHeading * kRadiansPerDegree;
    shellX += host::exactCos(h) * kShellSpeed;
    shellY += host::exactSin(h) * kShellSpeed;
    const double position[2] = {shellX, shellY};
    if (squadron.shellImpact(position)) {
      shellInFlight = false;
    } else {
      shellInFlight = shellY < kFieldEdge && shellX < kFieldEdge && shellX > -kFieldEdge;
    }
  }
  if (reload > 0) --reload;
  if (reload > kCannonLightEnd) {
    placeLight(cannonLight, x, 1.0, cannonAngle);
    applyLight(GL_LIGHT3, cannonLight);
    if (!lit) glEnable(GL_LIGHT3);
  } else if (lit) {
    glDisable(GL_LIGHT3);
  }
}

// One step of the four-frame burst: lights on, off, on, off. A started cycle always finishes,
// so a press shorter than a frame still fires four times.
void Tank::updateGuns() {
  if (!gunsFiring && gunPhase == 0) return;
  const int previous = gunPhase;
  gunPhase = previous + 1;
  switch (previous) {
    case 0:
      raiseEvent(GameEvent::gunBurst, x);
      placeLight(leftGunLight, x + kGunMount, 0.0, leftGunAngle);
      placeLight(rightGunLight, x - kGunMount, 0.0, rightGunAngle);
      applyLight(GL_LIGHT1, leftGunLight);
      applyLight(GL_LIGHT2, rightGunLight);
      glEnable(GL_LIGHT1);
      glEnable(GL_LIGHT2);
      break;
    case 1:
      glDisable(GL_LIGHT1);
      glDisable(GL_LIGHT2);
      break;
    case 2:
      glEnable(GL_LIGHT1);
      glEnable(GL_LIGHT2);
      break;
    default:
      gunPhase = 0;
      glDisable(GL_LIGHT1);
      glDisable(GL_LIGHT2);
      break;
  }
  const double aimPoint[2] = {aimX, aimY};
  squadron.gunfire(aimPoint);
}

}  // namespace brambleshot
