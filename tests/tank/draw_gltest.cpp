// The tank as it shows in rendered frames: where it stands, its reticle, shell and flashes, and
// the GL state its drawing leaves behind.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include "app/lighting.h"
#include "tank/tank_fixture.h"

namespace {

using namespace brambleshot;
using tanktest::kBackdropColour;
using tanktest::kFlashColour;
using tanktest::kReticleColour;
using tanktest::pixelOf;
using tanktest::showsColour;

class TankDraw : public tanktest::TankGl {
 protected:
  void SetUp() override {
    TankGl::SetUp();
    // Reticle out of the way of the tank, the weapons pointing straight up.
    tank.aimX = -1.5;
    tank.aimY = 3.0;
    tank.leftGunAngle = 90.0;
    tank.rightGunAngle = 90.0;
    tank.cannonAngle = 90.0;
  }
};

// Inside the turret dome, a little below its centre.
tanktest::Pixel domeOf(double tankX) {
  return pixelOf(tankX, -0.12);
}

TEST_F(TankDraw, TankShowsAtItsPositionFollowsSteeringAndIsGoneWhileTheGameIsOver) {
  tanktest::drawPausedFrame();
  EXPECT_FALSE(showsColour(domeOf(0.0), kBackdropColour));
  EXPECT_TRUE(showsColour(domeOf(1.0), kBackdropColour));

  for (int i = 0; i < 20; ++i)
    onKeyboard('a', 0, 0);  // 'a' drives towards the screen's left
  tanktest::drawPausedFrame();
  EXPECT_GT(tank.x, 0.99);
  EXPECT_LT(domeOf(1.0).x, domeOf(0.0).x);
  EXPECT_FALSE(showsColour(domeOf(1.0), kBackdropColour));
  EXPECT_TRUE(showsColour(domeOf(0.0), kBackdropColour));

  squadron.gameOver = true;
  tanktest::drawPausedFrame();
  EXPECT_TRUE(showsColour(domeOf(1.0), kBackdropColour));
  EXPECT_TRUE(showsColour(domeOf(0.0), kBackdropColour));
}

TEST_F(TankDraw, ReticleFollowsThePointer) {
  tank.aim(450, 300, camera);
  tanktest::drawPausedFrame();
  EXPECT_TRUE(showsColour({450, 300}, kReticleColour));

  tank.aim(250, 450, camera);
  tanktest::drawPausedFrame();
  EXPECT_TRUE(showsColour({250, 450}, kReticleColour));
  EXPECT_FALSE(showsColour({450, 300}, kReticleColour));
}

TEST_F(TankDraw, GunFlashesShowOnlyInPhaseOneWhileTheButtonIsHeld) {
  // The left gun pivots at (0.28, 0.1) in the tank's 0.8 scale; its flash centres 0.3 out.
  const tanktest::Pixel flash = pixelOf(0.28 * 0.8, -0.1 + (0.1 + 0.3) * 0.8);
  tank.gunsFiring = true;
  tank.gunPhase = 1;
  tanktest::drawPausedFrame();
  EXPECT_TRUE(showsColour(flash, kFlashColour));

  for (int phase : {2, 3, 0}) {
    tank.gunPhase = phase;
    tanktest::drawPausedFrame();
    EXPECT_FALSE(showsColour(flash, kFlashColour)) << "phase " << phase;
  }
  tank.gunsFiring = false;
  tank.gunPhase = 1;
  tanktest::drawPausedFrame();
  EXPECT_FALSE(showsColour(flash, kFlashColour));
}

TEST_F(TankDraw, CannonFlashShowsFrom500DownTo491) {
  // Centred 0.5 out along the cannon from its pivot at (0, 0.1), in the tank's scale.
  const tanktest::Pixel flash = pixelOf(0.0, -0.1 + (0.1 + 0.5) * 0.8);
  for (int reload : {500, 491}) {
    tank.reload = reload;
    tanktest::drawPausedFrame();
    EXPECT_TRUE(showsColour(flash, kFlashColour)) << "reload " << reload;
  }
  for (int reload : {490, 0}) {
    tank.reload = reload;
    tanktest::drawPausedFrame();
    EXPECT_FALSE(showsColour(flash, kFlashColour)) << "reload " << reload;
  }
}

TEST_F(TankDraw, ShellShowsWhereItFlies) {
  const tanktest::Pixel shell = pixelOf(-1.0, 2.15);
  tanktest::drawPausedFrame();
  EXPECT_TRUE(showsColour(shell, kBackdropColour));
  tank.shellInFlight = true;
  tank.shellX = -1.0;
  tank.shellY = 2.0;
  tank.shellHeading = 90.0;
  tanktest::drawPausedFrame();
  EXPECT_FALSE(showsColour(shell, kBackdropColour));
}

TEST_F(TankDraw, DrawLeavesTheSceneStateAsTheFrameExpects) {
  tank.gunsFiring = true;
  tank.gunPhase = 1;
  tank.reload = 495;
  tank.shellInFlight = true;
  tank.shellX = 1.0;
  tank.shellY = 1.0;
  tank.shellHeading = 60.0;
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  gluLookAt(camera.eye.x, camera.eye.y, camera.eye.z, camera.centre.x, camera.centre.y,
            camera.centre.z, camera.up.x, camera.up.y, camera.up.z);
  glShadeModel(GL_FLAT);
  glLineWidth(3.0f);
  ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "left by the frame";
  tank.draw();
  glPopMatrix();

  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  GLfloat lineWidth = 0.0f;
  glGetFloatv(GL_LINE_WIDTH, &lineWidth);
  EXPECT_EQ(lineWidth, 1.0f);
  GLint shadeModel = 0;
  glGetIntegerv(GL_SHADE_MODEL, &shadeModel);
  EXPECT_EQ(shadeModel, GL_SMOOTH);
  GLfloat specular[4] = {0, 0, 0, 0};
  GLfloat diffuse[4] = {0, 0, 0, 0};
  glGetMaterialfv(GL_FRONT, GL_SPECULAR, specular);
  glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
  EXPECT_FLOAT_EQ(specular[0], gunMaterial.specular[0]);
  EXPECT_FLOAT_EQ(diffuse[0], gunMaterial.diffuse[0]);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
