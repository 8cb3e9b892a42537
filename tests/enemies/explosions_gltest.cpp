// Explosions: growth and blasts, chains, the explosion light and the drawing.
#include "app/input.h"
#include "squadron_fixture.h"
#include "tank/tank.h"
#include "world/game.h"

namespace enemytest {
namespace {

using ExplosionLife = SquadronGl;

// A spark never lights the scene; the first large explosion lights it at its centre and the
// end of the last large one puts it out.
TEST_F(ExplosionLife, GrowsAQuarterPerUnpausedFrameBlastsAndLightsTheScene) {
  const double spark[2] = {-1.0, 2.0}, p[2] = {1.5, -0.5}, late[2] = {-0.75, 3.0};
  s.spawnExplosion(spark, 0.1, false);
  EXPECT_FALSE(light4On());
  s.spawnExplosion(p, 0.6, true);
  for (std::size_t step = 1; step <= 4; ++step) {
    frames(2, true);
    EXPECT_EQ(blasts.size(), step - 1) << "no blast while paused";
    frames(1);
    ASSERT_EQ(blasts.size(), step);
    EXPECT_DOUBLE_EQ(blasts.back()[2], 0.15 * step);
    if (step == 2) s.spawnExplosion(late, 0.3, false);
  }
  ASSERT_EQ(s.explosions.size(), 1u);
  EXPECT_TRUE(light4On());
  GLfloat position[4];
  glGetLightfv(GL_LIGHT4, GL_POSITION, position);
  EXPECT_EQ(position[0], 1.5f) << "the light stays where it was switched on";
  frames(1);
  EXPECT_TRUE(light4On());
  frames(1);
  EXPECT_TRUE(s.explosions.empty());
  EXPECT_FALSE(light4On());
}

// A blast square touching a box's edge does nothing; a victim of a blast spawns a blast that
// hits its neighbour in the same pass. The array of explosions moves under the pass as it grows
// (the sanitizer build catches a held reference).
TEST_F(ExplosionLife, TouchingDoesNothingAndAChainReachesANeighbourInTheSamePass) {
  addAircraft(0.45, 3.0);  // its left edge at 0
  addBomb(3.0, 0.2);       // its bottom edge at 0
  const double leftOfPlane[2] = {-0.5, 3.0}, underBomb[2] = {3.0, -0.5};
  for (const double radius : {0.5, 0.5000001}) {
    s.applyBlast(leftOfPlane, radius);
    s.applyBlast(underBomb, radius);
    EXPECT_EQ(s.aircraft[0].hitPoints, radius == 0.5 ? 200 : 150);
    EXPECT_EQ(s.bombs.size(), radius == 0.5 ? 1u : 0u);
  }

  s.aircraft.clear();
  s.explosions.clear();  // the bomb's, and the four blasts above
  blasts.clear();
  addAircraft(2.8, 3.0, 0.0, 50);  // box 2.35..3.4: inside the first square around x = 2.3
  addAircraft(3.3, 3.0);           // box 2.85..3.9: outside it, inside the victim's first square
  const double p[2] = {2.3, 3.0};
  s.spawnExplosion(p, 0.6, true);
  frames(1);
  ASSERT_EQ(s.aircraft.size(), 1u);
  EXPECT_EQ(s.aircraft[0].hitPoints, 150);
  ASSERT_EQ(s.explosions.size(), 2u);
  EXPECT_DOUBLE_EQ(s.explosions[1].radius, 0.15);
  ASSERT_EQ(blasts.size(), 2u);
  EXPECT_EQ(blasts[1][0], 2.8);
}

// Seen as the game's camera sees the play plane: from the -z side, x mirrored on the screen.
TEST_F(ExplosionLife, BombAndExplosionAreDrawnWhereTheyAre) {
  glMatrixMode(GL_PROJECTION);
  glOrtho(-1, 1, -1, 1, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glRotated(180, 0, 1, 0);
  auto brightness = [](double x, double y) {
    const testenv::Rgb c =
        testenv::readPixel(static_cast<int>((1 - x) * 400), static_cast<int>((y + 1) * 300));
    return c.r + c.g + c.b;
  };
  addBomb(0.0, 0.51);
  const double p[2] = {-0.5, 0.5};
  s.spawnExplosion(p, 0.6, false);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  frames(1);
  EXPECT_GT(brightness(0.0, 0.5), 60) << "the bomb's emission shows without any light";
  EXPECT_EQ(brightness(0.3, 0.5), 0);
  EXPECT_EQ(brightness(-0.5, 0.5), 3 * 255) << "lit by its own emission alone: full white";
  EXPECT_EQ(brightness(-0.5, 0.9), 0) << "beyond the first frame's radius";
}

}  // namespace
}  // namespace enemytest
