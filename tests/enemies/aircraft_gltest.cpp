// Aircraft in flight: the move, the escape, the bomb chance, the light guns and the cannon shell.
#include <cmath>
#include <limits>

#include "squadron_fixture.h"

namespace enemytest {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

using AircraftFlight = SquadronGl;

TEST_F(AircraftFlight, MovesBySpeedOnlyWhenNotPaused) {
  addAircraft(-3.5, 3.1, 0.02);
  frames(3);
  EXPECT_DOUBLE_EQ(s.aircraft[0].x, -3.44);
  frames(5, true);
  EXPECT_DOUBLE_EQ(s.aircraft[0].x, -3.44);
}

// 30 gun hits taken, so 170 left: that is what the escape costs.
TEST_F(AircraftFlight, EscapesOnlyBeyond3Point5AndCostsItsHitPoints) {
  score = 1000;
  addAircraft(3.5, 3.1, 0.0, 170);
  frames(2);
  ASSERT_EQ(s.aircraft.size(), 1u);
  EXPECT_EQ(escapes, 0);

  s.aircraft[0].x = std::nextafter(3.5, kInf);
  frames(1, true);  // the escape test runs while paused too
  EXPECT_TRUE(s.aircraft.empty());
  EXPECT_EQ(score, 830);
  EXPECT_EQ(escapes, 1);
  EXPECT_EQ(s.inFlight, 0);
  EXPECT_EQ(kills, 0);
}

TEST_F(AircraftFlight, EscapeWhileGameOverCountsButLeavesTheScore) {
  score = 500;
  s.gameOver = true;
  addAircraft(3.6, 3.4);
  addAircraft(3.7, 3.8);
  frames(1);
  EXPECT_TRUE(s.aircraft.empty());
  EXPECT_EQ(score, 500);
  EXPECT_EQ(escapes, 2);
  EXPECT_EQ(s.inFlight, 0);
}

// Seed 0 draws 38 then 7719; seed 19 draws 100 then 15331.
TEST_F(AircraftFlight, BombChanceOnlyStrictlyInsideTheMiddleStretch) {
  for (double edge : {2.7, -2.7}) {
    SCOPED_TRACE(edge);
    s.aircraft.clear();
    addAircraft(edge, 3.1, 0.0);
    brambleshot::srand(0);
    frames(1);
    EXPECT_EQ(brambleshot::randomState(), 0u) << "no draw at exactly " << edge;
    EXPECT_TRUE(s.bombs.empty());
  }

  s.aircraft.clear();
  addAircraft(std::nextafter(2.7, 0.0), 3.1, 0.0);
  brambleshot::srand(0);
  frames(1);
  ASSERT_EQ(s.bombs.size(), 1u);
  EXPECT_EQ(s.bombs[0].x, std::nextafter(2.7, 0.0));
  EXPECT_DOUBLE_EQ(s.bombs[0].y, 3.1 - 0.01);  // dropped, then fell in the bomb pass
  EXPECT_EQ(s.bombs[0].spin, 7719 % 360 + 1);
  EXPECT_EQ(s.bombs[0].hitPoints, 50);
}

TEST_F(AircraftFlight, BombThresholdRisesWithTheScore) {
  // A draw of 100 misses the lowest band (100 in 32768) and hits the next (200).
  addAircraft(0.0, 3.1, 0.0);
  score = 2499;
  brambleshot::srand(19);
  frames(1);
  EXPECT_TRUE(s.bombs.empty());
  score = 2500;
  brambleshot::srand(19);
  frames(1);
  ASSERT_EQ(s.bombs.size(), 1u);
  EXPECT_EQ(s.bombs[0].spin, 15331 % 360 + 1);
}

// The chance is given in every frame, so one aircraft drops any number of bombs: with seed 7 at
// the top band (750 in 32768), 5 in 100 frames, the first in the first frame.
TEST_F(AircraftFlight, DropsABombWheneverTheDrawFallsUnderTheThreshold) {
  score = 60000;
  addAircraft(0.0, 3.8, 0.0);
  brambleshot::srand(7);
  frames(100);
  ASSERT_EQ(s.bombs.size(), 5u);
  EXPECT_NEAR(s.bombs[0].y, 2.8, 1e-9);
  EXPECT_EQ(s.bombs[0].spin, 142 + 100);
}

using AircraftGuns = SquadronGl;

TEST_F(AircraftGuns, AimOnAnEdgeMisses) {
  addAircraft(1.0, 3.0);
  const Aircraft& a = s.aircraft[0];
  const double edges[4][2] = {{a.x - 0.45, a.y + 0.05},
                              {a.x + 0.6, a.y + 0.05},
                              {a.x + 0.1, a.y - 0.1},
                              {a.x + 0.1, a.y + 0.2}};
  for (const auto& p : edges)
    s.gunfire(p);
  EXPECT_EQ(s.aircraft[0].hitPoints, 200);
  EXPECT_EQ(s.gunStreak, 0);
  EXPECT_TRUE(s.explosions.empty());
}

TEST_F(AircraftGuns, AimInsideOverlappingBoxesHitsEach) {
  addAircraft(1.0, 3.0);
  addAircraft(1.3, 3.1);
  addBomb(1.2, 3.1);
  const double p[2] = {1.2, 3.05};
  s.gunfire(p);
  EXPECT_EQ(s.aircraft[0].hitPoints, 199);
  EXPECT_EQ(s.aircraft[1].hitPoints, 199);
  EXPECT_EQ(s.bombs[0].hitPoints, 49);
  EXPECT_EQ(s.gunStreak, 3);
}

TEST_F(AircraftGuns, SparksOnThe1st9th17thHitAndOnTheMissAfter) {
  addAircraft(0.0, 3.0);
  const double on[2] = {0.0, 3.0};
  const double off[2] = {-3.0, 0.5};
  auto sparks = [&] {
    int n = 0;
    for (const Explosion& e : s.explosions) {
      EXPECT_EQ(e.maxRadius, 0.1);
      EXPECT_FALSE(e.damaging);
      n += 1;
    }
    return n;
  };
  s.gunfire(on);
  EXPECT_EQ(sparks(), 1);
  for (int i = 2; i <= 17; ++i)
    s.gunfire(on);
  EXPECT_EQ(sparks(), 3);
  EXPECT_EQ(s.gunStreak, 17);
  EXPECT_FALSE(light4On()) << "sparks never light the scene";

  s.gunfire(off);  // the streak still reads 17 when the spark is decided
  EXPECT_EQ(sparks(), 4);
  EXPECT_EQ(s.explosions.back().x, off[0]);
  EXPECT_EQ(s.gunStreak, 0);
  s.gunfire(off);
  EXPECT_EQ(sparks(), 4);
  EXPECT_EQ(s.aircraft[0].hitPoints, 183);
}

TEST_F(AircraftGuns, LastHitPointShootsTheAircraftDown) {
  score = 100;
  addAircraft(0.5, 3.4, 0.0, 1);
  addAircraft(-2.0, 2.8);
  const double p[2] = {0.6, 3.5};
  s.gunfire(p);
  ASSERT_EQ(s.aircraft.size(), 1u);
  EXPECT_EQ(s.aircraft[0].x, -2.0);
  EXPECT_EQ(score, 300);
  EXPECT_EQ(kills, 1);
  EXPECT_EQ(s.inFlight, 1);
  // The wreck's blast first, then the spark of the first hit.
  ASSERT_EQ(s.explosions.size(), 2u);
  EXPECT_EQ(s.explosions[0].x, 0.5);
  EXPECT_EQ(s.explosions[0].y, 3.4);
  EXPECT_EQ(s.explosions[0].maxRadius, 0.6);
  EXPECT_TRUE(s.explosions[0].damaging);
  EXPECT_EQ(s.explosions[1].maxRadius, 0.1);
  EXPECT_TRUE(light4On());

  s.gameOver = true;
  s.aircraft[0].hitPoints = 1;
  const double q[2] = {-2.0, 2.8};
  s.gunfire(q);
  EXPECT_EQ(score, 300) << "no score while the game is over";
  EXPECT_EQ(kills, 2);
  EXPECT_EQ(s.inFlight, 0);
}

TEST_F(AircraftGuns, BombFallsToItsFiftiethHitEvenAcrossAMiss) {
  addBomb(-1.0, 2.0);
  const double on[2] = {-1.0, 2.0};
  const double off[2] = {1.0, 2.0};
  for (int i = 0; i < 49; ++i)
    s.gunfire(on);
  s.gunfire(off);
  ASSERT_EQ(s.bombs.size(), 1u);
  EXPECT_EQ(s.bombs[0].hitPoints, 1);
  s.gunfire(on);
  EXPECT_TRUE(s.bombs.empty());
  EXPECT_EQ(score, 50);
  EXPECT_EQ(kills, 0);
  const Explosion& wreck = s.explosions[s.explosions.size() - 2];
  EXPECT_EQ(wreck.maxRadius, 0.6);
  EXPECT_TRUE(wreck.damaging);
}

using AircraftShell = SquadronGl;

// The shell takes no hit points itself: its explosion's four blast frames bring the aircraft
// down in the fourth, while the aircraft flies on inside the growing square.
TEST_F(AircraftShell, ExplosionBringsTheAircraftDownInItsFourthFrame) {
  addAircraft(3.0, 3.1, 0.01);  // beyond the bombing stretch, short of the escape
  const double p[2] = {3.05, 3.15};
  ASSERT_TRUE(s.shellImpact(p));
  ASSERT_EQ(s.explosions.size(), 1u);
  EXPECT_EQ(s.explosions[0].maxRadius, 0.3);
  EXPECT_TRUE(s.explosions[0].damaging);
  EXPECT_EQ(s.aircraft[0].hitPoints, 200);
  EXPECT_TRUE(light4On());

  for (int hp : {150, 100, 50}) {
    frames(1);
    ASSERT_EQ(s.aircraft.size(), 1u);
    EXPECT_EQ(s.aircraft[0].hitPoints, hp);
  }
  frames(1);
  EXPECT_TRUE(s.aircraft.empty());
  EXPECT_EQ(score, 250);
  EXPECT_EQ(kills, 1);
  EXPECT_EQ(s.inFlight, 0);
  // The shell's explosion ended; the wreck's own began and grew in the same pass.
  ASSERT_EQ(s.explosions.size(), 1u);
  EXPECT_EQ(s.explosions[0].maxRadius, 0.6);
  EXPECT_DOUBLE_EQ(s.explosions[0].radius, 0.15);
  EXPECT_DOUBLE_EQ(s.explosions[0].x, 3.03);
}

TEST_F(AircraftShell, StrikesABombButNotAnEdge) {
  addAircraft(0.0, 3.0);
  addBomb(-1.0, 1.0);
  const double edge[2] = {0.6, 3.0};
  const double between[2] = {-0.5, 2.0};
  EXPECT_FALSE(s.shellImpact(edge));
  EXPECT_FALSE(s.shellImpact(between));
  EXPECT_TRUE(s.explosions.empty());
  const double p[2] = {-1.0, 0.85};
  EXPECT_TRUE(s.shellImpact(p));
  ASSERT_EQ(s.explosions.size(), 1u);
  EXPECT_EQ(s.explosions[0].maxRadius, 0.3);
  EXPECT_EQ(s.bombs[0].hitPoints, 50);
}

}  // namespace
}  // namespace enemytest
