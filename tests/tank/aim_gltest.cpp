// Aiming through a real frame's matrices, steering to the limits, and no NaN whatever happens.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tank/tank_fixture.h"

namespace {

using namespace brambleshot;
using TankAim = tanktest::TankGl;

// Unsigned elevation of (dx, dy), by another road than the tank's arc cosine.
double elevationOf(double dx, double dy) {
  return std::atan2(std::fabs(dy), dx) * 180.0 / 3.14159265358979323846;
}

TEST_F(TankAim, PointerMeetsThePlayPlaneAndTheWeaponsTurnToIt) {
  tank.aim(450, 300, camera);  // centre of the scene viewport
  EXPECT_NEAR(tank.aimX, 0.0, 1e-9);
  EXPECT_NEAR(tank.aimY, 1.80, 0.005);
  EXPECT_NEAR(tank.cannonAngle, 90.0, 1e-6);
  EXPECT_NEAR(tank.leftGunAngle, 98.83, 0.01);  // the guns lean in
  EXPECT_NEAR(tank.rightGunAngle, 81.17, 0.01);

  // Steering turns the weapons; the aim point stays under the pointer.
  for (int i = 0; i < 20; ++i)
    tank.steer(-1, camera);
  EXPECT_NEAR(tank.x, 1.0, 1e-9);
  EXPECT_NEAR(tank.aimX, 0.0, 1e-9);
  EXPECT_NEAR(tank.cannonAngle, 119.05, 0.05);

  // The scene's bottom-left pixel lies below the ground: mirrored, never downward, angles.
  tank.aim(100, 0, camera);
  EXPECT_NEAR(tank.aimX, 2.698, 0.001);
  EXPECT_NEAR(tank.aimY, -0.510, 0.001);
  EXPECT_NEAR(tank.cannonAngle, elevationOf(tank.aimX - 1.0, tank.aimY), 1e-9);
  EXPECT_NEAR(tank.leftGunAngle, elevationOf(tank.aimX - 1.28, tank.aimY), 1e-9);
  EXPECT_NEAR(tank.rightGunAngle, elevationOf(tank.aimX - 0.72, tank.aimY), 1e-9);
}

TEST_F(TankAim, SteeringTakes43StepsEachWayAndTheWheelsTurnAtTheLimit) {
  for (const int direction : {-1, +1}) {
    tank.reset();
    for (int step = 1; step <= 43; ++step)
      tank.steer(direction, camera);
    EXPECT_NEAR(tank.x, -direction * 2.15, 1e-9);
    const double atLimit = tank.x;
    for (Mesh& wheel : tank.wheels)
      wheel.rotationAngle = 0.0;
    tank.steer(direction, camera);  // its candidate is exactly +-2.2
    EXPECT_EQ(tank.x, atLimit);
    for (const Mesh& wheel : tank.wheels)
      EXPECT_NEAR(wheel.rotationAngle, direction / 6.0, 1e-12);
  }
}

TEST_F(TankAim, NothingTheWindowOrPointerDoesMakesNaN) {
  // A singular projection cannot be un-projected, so the last aim point is kept and the angles
  // are taken afresh: here that point lies exactly on the left gun's mount.
  tank.aimX = 0.28;
  tank.aimY = 0.0;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glScaled(0.0, 0.0, 0.0);
  glMatrixMode(GL_MODELVIEW);
  tank.aim(450, 300, camera);
  EXPECT_EQ(tank.aimX, 0.28);
  EXPECT_EQ(tank.leftGunAngle, 90.0) << "a mount under its aim point points straight up";
  EXPECT_EQ(tank.cannonAngle, 0.0);
  tank.aimX = tank.aimY = 1e-200;  // too short to square without underflow
  tank.aim(450, 300, camera);
  EXPECT_NEAR(tank.cannonAngle, 45.0, 1e-9);

  const auto finite = [] {
    return std::isfinite(tank.aimX) && std::isfinite(tank.aimY) &&
           std::isfinite(tank.leftGunAngle) && std::isfinite(tank.rightGunAngle) &&
           std::isfinite(tank.cannonAngle);
  };
  constexpr double kHuge = std::numeric_limits<double>::max();
  const double nan = std::nan("");
  tanktest::drawPausedFrame();
  for (const auto& p : {std::pair{kHuge, kHuge}, {-kHuge, 0.0}, {nan, nan}, {1e9, -1e9}}) {
    tank.aim(p.first, p.second, camera);
    EXPECT_TRUE(finite()) << p.first << ", " << p.second;
  }
  // Windows squeezed to no height and no width, as the motion callback sees them.
  for (const auto& size : {std::pair{800, 0}, {0, 600}}) {
    testenv::resizeWindow(size.first, size.second);
    tanktest::drawPausedFrame();
    onMotion(450, 0);
    tank.steer(+1, camera);
    EXPECT_TRUE(finite()) << size.first << " x " << size.second;
  }
}

}  // namespace
