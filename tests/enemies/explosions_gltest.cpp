// Explosions: growth, blasts and chains, the explosion light, the tank's end, and the drawing.
#include <cmath>

#include "app/input.h"
#include "squadron_fixture.h"
#include "tank/tank.h"

namespace enemytest {
namespace {

using ExplosionLife = SquadronGl;

TEST_F(ExplosionLife, GrowsByAQuarterPerFrameAndEndsAfterTheFourth) {
  for (double maxRadius : {0.6, 0.3, 0.1}) {
    SCOPED_TRACE(maxRadius);
    const double p[2] = {0.0, 2.0};
    s.spawnExplosion(p, maxRadius, false);
    for (int step = 1; step <= 3; ++step) {
      frames(1);
      ASSERT_EQ(s.explosions.size(), 1u);
      EXPECT_DOUBLE_EQ(s.explosions[0].radius, maxRadius * step / 4);
    }
    frames(2, true);
    EXPECT_DOUBLE_EQ(s.explosions[0].radius, maxRadius * 3 / 4);
    frames(1);
    EXPECT_TRUE(s.explosions.empty());
  }
}

TEST_F(ExplosionLife, BlastsWithTheRadiusOfEachFrameOnlyWhenDamaging) {
  const double p[2] = {1.5, -0.5};
  s.spawnExplosion(p, 0.6, true);
  s.spawnExplosion(p, 0.6, false);
  frames(2, true);
  EXPECT_TRUE(blasts.empty()) << "no blast while paused";
  frames(4);
  ASSERT_EQ(blasts.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(blasts[i].x, 1.5);
    EXPECT_EQ(blasts[i].y, -0.5);
    EXPECT_DOUBLE_EQ(blasts[i].radius, 0.15 * (i + 1));
  }
}

// Positions chosen so that the edges meet exactly in binary: the aircraft's left edge and the
// bomb's bottom edge both lie at 0.
TEST_F(ExplosionLife, BlastSquareTouchingAnEdgeDoesNothing) {
  addAircraft(0.45, 3.0);
  addBomb(3.0, 0.2);
  const double leftOfPlane[2] = {-0.5, 3.0};
  const double underBomb[2] = {3.0, -0.5};
  s.applyBlast(leftOfPlane, 0.5);
  s.applyBlast(underBomb, 0.5);
  EXPECT_EQ(s.aircraft[0].hitPoints, 200);
  EXPECT_EQ(s.bombs.size(), 1u);
  EXPECT_TRUE(s.explosions.empty());
  s.applyBlast(leftOfPlane, 0.5000001);
  s.applyBlast(underBomb, 0.5000001);
  EXPECT_EQ(s.aircraft[0].hitPoints, 150);
  EXPECT_TRUE(s.bombs.empty());
}

// A victim of the blast spawns a blast that already hits its neighbour in the same pass.
TEST_F(ExplosionLife, ChainReachesANeighbourInTheSamePass) {
  score = 1000;
  addAircraft(2.8, 3.0, 0.0, 50);  // box 2.35..3.4: inside the first square around x = 2.3
  addAircraft(3.3, 3.0);           // box 2.85..3.9: outside it, inside the victim's first square
  const double p[2] = {2.3, 3.0};
  s.spawnExplosion(p, 0.6, true);
  frames(1);
  ASSERT_EQ(s.aircraft.size(), 1u);
  EXPECT_EQ(s.aircraft[0].x, 3.3);
  EXPECT_EQ(s.aircraft[0].hitPoints, 150);
  EXPECT_EQ(score, 1250);
  EXPECT_EQ(kills, 1);
  EXPECT_EQ(s.inFlight, 1);
  ASSERT_EQ(s.explosions.size(), 2u);
  EXPECT_DOUBLE_EQ(s.explosions[1].radius, 0.15);
  ASSERT_EQ(blasts.size(), 2u);
  EXPECT_EQ(blasts[1].x, 2.8);
  EXPECT_TRUE(s.bombs.empty());
}

TEST_F(ExplosionLife, BlastDownsAircraftWithoutScoringWhileGameOver) {
  s.gameOver = true;
  addAircraft(0.0, 3.0, 0.0, 40);
  const double p[2] = {0.0, 3.0};
  s.applyBlast(p, 0.1);
  EXPECT_TRUE(s.aircraft.empty());
  EXPECT_EQ(score, 0);
  EXPECT_EQ(kills, 1);
  EXPECT_EQ(s.inFlight, 0);
}

// A row of bombs set off from one end detonates in one pass. The array of explosions grows
// from empty to 121 records while the pass walks it, so it moves many times under the pass
// (the sanitizer build catches any reference held across the move).
TEST_F(ExplosionLife, LongChainDetonatesTheWholeRowInOnePass) {
  s.explosions.shrink_to_fit();
  for (int i = 0; i < 120; ++i)
    addBomb(-3.0 + 0.05 * i, 1.5);
  addAircraft(-3.0 + 0.05 * 119 + 0.3, 1.6, 0.0, 50);
  const double p[2] = {-3.1, 1.5};
  s.spawnExplosion(p, 0.3, true);
  frames(1);
  EXPECT_TRUE(s.bombs.empty());
  EXPECT_TRUE(s.aircraft.empty());
  EXPECT_EQ(score, 120 * 75 + 250);
  EXPECT_EQ(s.explosions.size(), 122u);
  for (const Explosion& e : s.explosions)
    EXPECT_GT(e.radius, 0.0);
  frames(4);
  EXPECT_TRUE(s.explosions.empty());
  EXPECT_FALSE(light4On());
}

using ExplosionLight = SquadronGl;

TEST_F(ExplosionLight, FirstLargeExplosionLightsAndTheLastPutsItOut) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();  // so GL keeps the light's position as given
  const double spark[2] = {-2.0, 1.0};
  s.spawnExplosion(spark, 0.1, false);
  EXPECT_FALSE(light4On());

  const double first[2] = {1.25, 2.5};
  s.spawnExplosion(first, 0.6, true);
  EXPECT_TRUE(light4On());
  frames(2);
  const double second[2] = {-0.75, 3.0};
  s.spawnExplosion(second, 0.3, false);
  EXPECT_EQ(brambleshot::explosionLight.position[0], -0.75f);
  GLfloat position[4];
  glGetLightfv(GL_LIGHT4, GL_POSITION, position);
  EXPECT_EQ(position[0], 1.25f) << "the light stays where it was switched on";
  EXPECT_EQ(position[1], 2.5f);
  EXPECT_EQ(position[2], -5.0f);
  EXPECT_EQ(position[3], 0.0f);
  GLfloat specular[4];
  glGetLightfv(GL_LIGHT4, GL_SPECULAR, specular);
  EXPECT_FLOAT_EQ(specular[1], 0.37f);

  frames(2);  // the first ends
  EXPECT_EQ(s.explosions.size(), 1u);
  EXPECT_TRUE(light4On());
  EXPECT_TRUE(s.explosionLightOn);
  frames(1);
  EXPECT_TRUE(light4On());
  frames(1);  // the second ends
  EXPECT_TRUE(s.explosions.empty());
  EXPECT_FALSE(light4On());
  EXPECT_FALSE(s.explosionLightOn);

  const double third[2] = {0.5, 0.5};
  s.spawnExplosion(third, 0.6, false);
  glGetLightfv(GL_LIGHT4, GL_POSITION, position);
  EXPECT_EQ(position[0], 0.5f) << "the next large explosion sets the light up afresh";
}

TEST_F(ExplosionLight, ExplosionIsDrawnWhileItLives) {
  int px = 0, py = 0;
  project(-1.0, 2.0, px, py);
  const double p[2] = {-1.0, 2.0};
  s.spawnExplosion(p, 0.6, false);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  frames(1);
  const testenv::Rgb ball = testenv::readPixel(px, py);
  EXPECT_GT(ball.r + ball.g + ball.b, 150);
  int ox = 0, oy = 0;
  project(-1.0, 2.5, ox, oy);  // beyond the first frame's radius 0.15
  EXPECT_EQ(testenv::readPixel(ox, oy).r, 0);

  frames(2);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  frames(1);  // full size, drawn once more before removal
  const testenv::Rgb full = testenv::readPixel(ox, oy);
  EXPECT_GT(full.r + full.g + full.b, 150);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  frames(1);
  const testenv::Rgb gone = testenv::readPixel(px, py);
  EXPECT_EQ(gone.r + gone.g + gone.b, 0);
}

// The game's own hit test and tank: five touching blast frames destroy the tank, the game ends
// in that frame and the wreck's explosion plays on. Uses the global squadron and tank.
class TankDestruction : public SquadronGl {
 protected:
  brambleshot::Squadron& g = brambleshot::squadron;
  brambleshot::Tank& t = brambleshot::tank;
  double savedX = 0, savedY = 0;
  int savedHealth = 0;
  brambleshot::Squadron saved;  // the global's links, put back afterwards

  void SetUp() override {
    SquadronGl::SetUp();
    saved.score = g.score;
    saved.kills = g.kills;
    saved.escapes = g.escapes;
    saved.hitTest = g.hitTest;
    saved.gameOver = g.gameOver;
    savedX = t.x;
    savedY = t.y;
    savedHealth = t.health;
    equip(g, score, kills, escapes, brambleshot::tankHitTest);
    t.x = 0.0;
    t.y = -0.1;
    t.health = 250;
  }
  void TearDown() override {
    g.aircraft.clear();
    g.bombs.clear();
    g.explosions.clear();
    g.inFlight = 0;
    g.gunStreak = 0;
    g.explosionLightOn = false;
    g.score = saved.score;
    g.kills = saved.kills;
    g.escapes = saved.escapes;
    g.hitTest = saved.hitTest;
    g.gameOver = saved.gameOver;
    t.x = savedX;
    t.y = savedY;
    t.health = savedHealth;
    SquadronGl::TearDown();
  }
};

TEST_F(TankDestruction, FifthTouchingBlastFrameEndsTheGameInThatFrame) {
  const double beside[2] = {0.5, 0.0};  // square reaches the box from the side
  const double below[2] = {-0.3, -0.5};
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
  const Explosion& wreck = g.explosions[2];
  EXPECT_EQ(wreck.x, 0.0);
  EXPECT_EQ(wreck.y, -0.1);
  EXPECT_FALSE(wreck.damaging);
  EXPECT_DOUBLE_EQ(wreck.radius, 0.15) << "grows in the pass that spawned it";

  g.updateAndDraw(false);  // the two blasts end; the wreck's explosion plays on
  ASSERT_EQ(g.explosions.size(), 1u);
  EXPECT_FALSE(g.explosions[0].damaging);
  EXPECT_TRUE(light4On());
  g.updateAndDraw(false);
  g.updateAndDraw(false);
  EXPECT_TRUE(g.explosions.empty());
  EXPECT_EQ(t.health, 0);
  EXPECT_TRUE(g.isGameOver());
}

}  // namespace
}  // namespace enemytest
