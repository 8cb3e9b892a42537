// Bombs: the fall and spin, the ground impact, the pause, and their drawing.
#include "squadron_fixture.h"

namespace enemytest {
namespace {

using BombFall = SquadronGl;

TEST_F(BombFall, BombAtGroundLevelFallsOnThenExplodesBelowIt) {
  addBomb(1.0, 0.0).spin = 10;
  frames(1);
  ASSERT_EQ(s.bombs.size(), 1u);
  EXPECT_DOUBLE_EQ(s.bombs[0].y, -0.01);
  EXPECT_EQ(s.bombs[0].spin, 11);
  EXPECT_TRUE(s.explosions.empty());

  frames(1);
  EXPECT_TRUE(s.bombs.empty());
  ASSERT_EQ(s.explosions.size(), 1u);
  const Explosion& e = s.explosions[0];
  EXPECT_EQ(e.x, 1.0);
  EXPECT_DOUBLE_EQ(e.y, -0.01);
  EXPECT_EQ(e.radius, 0.0);  // spawned after this frame's explosion pass
  EXPECT_EQ(e.maxRadius, 0.6);
  EXPECT_TRUE(e.damaging);
  EXPECT_TRUE(light4On());
  EXPECT_EQ(score, 0) << "a ground impact scores nothing";
}

TEST_F(BombFall, PauseHoldsTheFallButNotTheImpact) {
  addBomb(0.0, 2.0).spin = 30;
  addBomb(-1.0, -0.005);
  frames(3, true);
  ASSERT_EQ(s.bombs.size(), 1u);
  EXPECT_EQ(s.bombs[0].y, 2.0);
  EXPECT_EQ(s.bombs[0].spin, 30);
  // The ground explosion is lit at once but stays at radius 0 until the game resumes.
  ASSERT_EQ(s.explosions.size(), 1u);
  EXPECT_TRUE(light4On());
  EXPECT_EQ(s.explosions[0].radius, 0.0);
  frames(1);
  EXPECT_DOUBLE_EQ(s.explosions[0].radius, 0.15);
  EXPECT_DOUBLE_EQ(s.bombs[0].y, 1.99);
}

TEST_F(BombFall, BombIsDrawnAtItsPosition) {
  int px = 0, py = 0;
  project(0.0, 2.0, px, py);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  frames(1);  // nothing yet
  EXPECT_EQ(testenv::readPixel(px, py).r, 0);

  addBomb(0.0, 2.01);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  frames(1);
  const testenv::Rgb body = testenv::readPixel(px, py);
  EXPECT_GT(body.r + body.g + body.b, 60) << "the body's emission shows without any light";
  int sx = 0, sy = 0;
  project(0.5, 2.0, sx, sy);
  const testenv::Rgb beside = testenv::readPixel(sx, sy);
  EXPECT_EQ(beside.r + beside.g + beside.b, 0);
}

}  // namespace
}  // namespace enemytest
