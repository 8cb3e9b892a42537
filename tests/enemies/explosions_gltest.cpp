// Explosions: growth and blasts, chains, the explosion light, the drawing and the tank's end.
#include "world/game.h"
#include "app/input.h"
#include "squadron_fixture.h"
#include "tank/tank.h"

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
    EXPECT_EQ(blasts.back()[0], 1.5);
    EXPECT_EQ(blasts.back()[1], -0.5);
    EXPECT_DOUBLE_EQ(blasts.back()[2], 0.15 * step);
    if (step < 4) {
      EXPECT_DOUBLE_EQ(s.explosions[0].radius, 0.025 * step);
    }
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

// The aircraft's left edge and the bomb's bottom edge both lie exactly at 0.
TEST_F(ExplosionLife, BlastSquareTouchingAnEdgeDoesNothing) {
  addAircraft(0.45, 3.0);
  addBomb(3.0, 0.2);
  const double leftOfPlane[2] = {-0.5, 3.0}, underBomb[2] = {3.0, -0.5};
  s.applyBlast(leftOfPlane, 0.5);
  s.applyBlast(underBomb, 0.5);
  EXPECT_EQ(s.aircraft[0].hitPoints, 200);
  EXPECT_EQ(s.bombs.size(), 1u);
  s.applyBlast(leftOfPlane, 0.5000001);
  s.applyBlast(underBomb, 0.5000001);
  EXPECT_EQ(s.aircraft[0].hitPoints, 150);
  EXPECT_TRUE(s.bombs.empty());
}

// A victim of the blast spawns a blast that hits its neighbour in the same pass. The array of
// explosions moves under the pass as it grows (the sanitizer build catches a held reference).
TEST_F(ExplosionLife, ChainReachesANeighbourInTheSamePass) {
  score = 1000;
  addAircraft(2.8, 3.0, 0.0, 50);  // box 2.35..3.4: inside the first square around x = 2.3
  addAircraft(3.3, 3.0);           // box 2.85..3.9: outside it, inside the victim's first square
  const double p[2] = {2.3, 3.0};
  s.spawnExplosion(p, 0.6, true);
  frames(1);
  ASSERT_EQ(s.aircraft.size(), 1u);
  EXPECT_EQ(s.aircraft[0].hitPoints, 150);
  EXPECT_EQ(score, 1250);
  ASSERT_EQ(s.explosions.size(), 2u);
  EXPECT_DOUBLE_EQ(s.explosions[1].radius, 0.15);
  ASSERT_EQ(blasts.size(), 2u);
  EXPECT_EQ(blasts[1][0], 2.8);
}

TEST_F(ExplosionLife, BombAndExplosionAreDrawnWhereTheyAre) {
  auto brightness = [](double x, double y) {
    const testenv::Rgb c =
        testenv::readPixel(static_cast<int>((x + 1) * 400), static_cast<int>((y + 1) * 300));
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

// The game's own hit test and tank: five touching blast frames destroy the tank, the game ends
// in that frame and the wreck's explosion starts.
class TankDestruction : public SquadronGl {
 protected:
  Squadron& g = brambleshot::squadron;
  brambleshot::Tank& t = brambleshot::tank;
  const Squadron savedSquadron = g;
  const brambleshot::Tank savedTank = t;

  void SetUp() override {
    SquadronGl::SetUp();
    g = s;
    g.hitTest = brambleshot::tankHitTest;
    t.x = 0.0;
    t.y = -0.1;
    t.health = 250;
  }
  void TearDown() override {
    g = savedSquadron;
    t = savedTank;
  }
};

TEST_F(TankDestruction, FifthTouchingBlastFrameEndsTheGameInThatFrame) {
  const double beside[2] = {0.5, 0.0}, below[2] = {-0.3, -0.5};
  g.spawnExplosion(beside, 0.6, true);
  g.spawnExplosion(below, 0.6, true);
  g.updateAndDraw(false);
  EXPECT_EQ(t.health, 150);
  g.updateAndDraw(false);
  EXPECT_EQ(t.health, 50);
  EXPECT_FALSE(g.isGameOver());

  g.updateAndDraw(false);  // the first blast of this frame is the fifth
  EXPECT_TRUE(g.isGameOver());
  EXPECT_EQ(t.health, 0) << "the second blast of the frame is refused";
  ASSERT_EQ(g.explosions.size(), 3u);
  EXPECT_EQ(g.explosions[2].y, -0.1);
  EXPECT_FALSE(g.explosions[2].damaging);
  EXPECT_DOUBLE_EQ(g.explosions[2].radius, 0.15) << "the wreck's grew in the pass that spawned it";
}

}  // namespace
}  // namespace enemytest
