// The tank in rendered frames: where it stands, its reticle and cannon flash, and the GL state
// its drawing leaves behind.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include "app/lighting.h"
#include "tank/tank_fixture.h"

namespace {

using namespace brambleshot;
using tanktest::pixelOf;
using tanktest::shows;
using TankDraw = tanktest::TankGl;

TEST_F(TankDraw, TankShowsWhereItStandsAndIsGoneWhileTheGameIsOver) {
  tank.aimX = -1.5;  // reticle out of the way
  tank.aimY = 3.0;
  const auto dome = [](double x) { return pixelOf(x, -0.12); };
  tanktest::drawPausedFrame();
  EXPECT_FALSE(shows(dome(0.0), tanktest::kBackdropColour));
  EXPECT_TRUE(shows(dome(1.0), tanktest::kBackdropColour));

  for (int i = 0; i < 20; ++i)
    onKeyboard('a', 0, 0);  // to x = 1, the screen's left
  tanktest::drawPausedFrame();
  EXPECT_FALSE(shows(dome(1.0), tanktest::kBackdropColour));
  EXPECT_TRUE(shows(dome(0.0), tanktest::kBackdropColour));

  squadron.gameOver = true;
  tanktest::drawPausedFrame();
  EXPECT_TRUE(shows(dome(1.0), tanktest::kBackdropColour));
}

TEST_F(TankDraw, ReticleFollowsThePointerAndTheCannonFlashesWhileReloadIsAbove490) {
  tank.aim(250, 450, camera);
  tank.cannonAngle = 90.0;
  // The flash centres 0.5 out along the cannon from its pivot (0, 0.1), in the tank's scale.
  const tanktest::Pixel flash = pixelOf(0.0, -0.1 + 0.6 * 0.8);
  for (const int reload : {500, 491, 490}) {
    tank.reload = reload;
    tanktest::drawPausedFrame();
    EXPECT_TRUE(shows({250, 450}, tanktest::kReticleColour));
    EXPECT_EQ(shows(flash, tanktest::kFlashColour), reload > 490) << reload;
  }
}

TEST_F(TankDraw, DrawLeavesTheSceneStateAsTheFrameExpects) {
  tank.gunsFiring = true;
  tank.gunPhase = 1;
  tank.reload = 495;
  tank.shellInFlight = true;
  tank.shellHeading = 60.0;
  glPushMatrix();
  gluLookAt(camera.eye.x, camera.eye.y, camera.eye.z, camera.centre.x, camera.centre.y,
            camera.centre.z, camera.up.x, camera.up.y, camera.up.z);
  glShadeModel(GL_FLAT);
  glLineWidth(3.0f);
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
  GLfloat specular[4];
  glGetMaterialfv(GL_FRONT, GL_SPECULAR, specular);
  EXPECT_FLOAT_EQ(specular[0], gunMaterial.specular[0]);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
