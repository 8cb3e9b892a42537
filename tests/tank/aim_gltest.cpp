// Aiming through a real frame's matrices, steering, and the angles' behaviour at the extremes.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tank/tank_fixture.h"

namespace {

using namespace brambleshot;
using tanktest::TankGl;

constexpr double kDegrees = 180.0 / 3.14159265358979323846;

// Unsigned elevation of (dx, dy) from +x, by a different road than the tank's arc cosine.
double elevationOf(double dx, double dy) {
  return std::atan2(std::fabs(dy), dx) * kDegrees;
}

void expectFiniteAim() {
  EXPECT_TRUE(std::isfinite(tank.aimX));
  EXPECT_TRUE(std::isfinite(tank.aimY));
  EXPECT_TRUE(std::isfinite(tank.leftGunAngle));
  EXPECT_TRUE(std::isfinite(tank.rightGunAngle));
  EXPECT_TRUE(std::isfinite(tank.cannonAngle));
}

using TankAim = TankGl;

TEST_F(TankAim, CentreOfSceneAimsStraightAboveTheCannonAtCameraHeight) {
  tank.aim(450, 300, camera);
  EXPECT_EQ(tank.pointerX, 450);
  EXPECT_EQ(tank.pointerY, 300);
  EXPECT_NEAR(tank.aimX, 0.0, 1e-9);
  EXPECT_NEAR(tank.aimY, 1.80, 0.005);
  EXPECT_NEAR(tank.cannonAngle, 90.0, 1e-6);
  // The guns lean in towards the point above the cannon.
  EXPECT_NEAR(tank.leftGunAngle, 98.83, 0.01);
  EXPECT_NEAR(tank.rightGunAngle, 81.17, 0.01);
}

TEST_F(TankAim, BottomLeftPixelAimsBelowTheGroundWithUnsignedAngles) {
  tank.aim(100, 0, camera);
  EXPECT_NEAR(tank.aimX, 2.698, 0.001);
  EXPECT_NEAR(tank.aimY, -0.510, 0.001);
  // Below the mounts the angles are those of the mirrored point above: no weapon points down.
  EXPECT_NEAR(tank.cannonAngle, elevationOf(tank.aimX, tank.aimY), 1e-9);
  EXPECT_NEAR(tank.leftGunAngle, elevationOf(tank.aimX - 0.28, tank.aimY), 1e-9);
  EXPECT_NEAR(tank.rightGunAngle, elevationOf(tank.aimX + 0.28, tank.aimY), 1e-9);
  EXPECT_NEAR(tank.cannonAngle, 10.70, 0.01);
}

TEST_F(TankAim, PointerFarRightAimsTowardsMinusX) {
  tank.aim(799, 300, camera);
  EXPECT_LT(tank.aimX, -2.0);
  EXPECT_GT(tank.cannonAngle, 90.0);
  EXPECT_LT(tank.cannonAngle, 180.0);
  EXPECT_GT(tank.leftGunAngle, tank.cannonAngle);
  EXPECT_LT(tank.rightGunAngle, tank.cannonAngle);
}

TEST_F(TankAim, SteeringMovesTheWeaponsButNotTheAimPoint) {
  tank.aim(450, 300, camera);
  const double aimX = tank.aimX;
  const double aimY = tank.aimY;
  for (int i = 0; i < 20; ++i)
    tank.steer(-1, camera);
  EXPECT_NEAR(tank.x, 1.0, 1e-9);
  EXPECT_NEAR(tank.aimX, aimX, 1e-9);
  EXPECT_NEAR(tank.aimY, aimY, 1e-9);
  EXPECT_NEAR(tank.cannonAngle, elevationOf(-1.0, aimY), 1e-6);  // about 119.05
  EXPECT_NEAR(tank.cannonAngle, 119.05, 0.05);
}

TEST_F(TankAim, SteeringCovers43StepsEachWayAndTheWheelsTurnAtTheLimits) {
  for (const int direction : {-1, +1}) {
    SCOPED_TRACE(direction);
    tank.reset();
    for (int step = 1; step <= 43; ++step) {
      tank.steer(direction, camera);
      ASSERT_NEAR(tank.x, -direction * 0.05 * step, 1e-9) << "step " << step;
    }
    EXPECT_NEAR(std::fabs(tank.x), 2.15, 1e-9);
    const double atLimit = tank.x;
    for (Mesh& wheel : tank.wheels)
      wheel.rotationAngle = 0.0;
    tank.steer(direction, camera);
    EXPECT_EQ(tank.x, atLimit) << "the 44th step reaches 2.2 and must be refused";
    for (const Mesh& wheel : tank.wheels) {
      EXPECT_NEAR(wheel.rotationAngle, direction / 6.0, 1e-12);
    }
    // Back the other way is allowed at once.
    tank.steer(-direction, camera);
    EXPECT_NEAR(std::fabs(tank.x), 2.10, 1e-9);
  }
}

TEST_F(TankAim, AMountExactlyUnderTheAimPointPointsStraightUp) {
  // A singular projection cannot be un-projected: the last aim point is kept and the angles
  // are taken afresh from it, so this places the aim point exactly on the left gun's mount.
  tank.x = 0.0;
  tank.aimX = 0.28;
  tank.aimY = 0.0;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glScaled(0.0, 0.0, 0.0);
  glMatrixMode(GL_MODELVIEW);
  tank.aim(450, 300, camera);
  EXPECT_EQ(tank.aimX, 0.28);
  EXPECT_EQ(tank.aimY, 0.0);
  EXPECT_EQ(tank.leftGunAngle, 90.0);
  EXPECT_EQ(tank.cannonAngle, 0.0);
  EXPECT_EQ(tank.rightGunAngle, 0.0);

  // A vector too short to square without underflow still has its direction.
  tank.aimX = 1e-200;
  tank.aimY = 1e-200;
  tank.aim(450, 300, camera);
  EXPECT_NEAR(tank.cannonAngle, 45.0, 1e-9);
}

TEST_F(TankAim, NoPointerOrWindowMakesAnythingNaN) {
  constexpr double kHuge = std::numeric_limits<double>::max();
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  const double pointers[][2] = {{kHuge, kHuge}, {-kHuge, 0}, {0, -kHuge},
                                {kNaN, kNaN},   {1e9, -1e9}, {-5, 700}};
  for (const auto& pointer : pointers) {
    SCOPED_TRACE(testing::Message() << pointer[0] << ", " << pointer[1]);
    tank.aim(pointer[0], pointer[1], camera);
    expectFiniteAim();
  }

  // A window squeezed to no height: the frame draws with an empty scene viewport and the
  // motion callback passes y = -1.
  testenv::resizeWindow(800, 0);
  tanktest::drawPausedFrame();
  onMotion(450, 0);
  expectFiniteAim();
  tank.aim(450, 0, camera);
  expectFiniteAim();
  testenv::resizeWindow(0, 600);
  tanktest::drawPausedFrame();
  onMotion(0, 300);
  expectFiniteAim();
  for (int i = 0; i < 3; ++i)
    tank.steer(+1, camera);
  expectFiniteAim();

  // Back at a sane size aiming works again.
  testenv::resizeWindow(800, 600);
  tanktest::drawPausedFrame();
  tank.aim(450, 300, camera);
  EXPECT_NEAR(tank.aimY, 1.80, 0.005);
}

}  // namespace
