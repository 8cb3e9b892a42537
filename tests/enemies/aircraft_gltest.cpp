// Aircraft and bombs in flight, every way the score moves, and explosions: growth, blasts,
// chains, their light and their drawing.
#include <cmath>
#include <string>

#include "squadron_fixture.h"

namespace enemytest {
namespace {

using Aircraft = SquadronGl;

// A pause holds every move, but escapes and ground impacts are tested on the position before
// the frame's move, so they still happen.
TEST_F(Aircraft, PauseHoldsMovesButNotEscapesOrGroundImpacts) {
  addAircraft(-3.5, 3.1, 0.02);
  addAircraft(3.5, 3.1);
  addBomb(1.0, 0.0);
  addBomb(0.0, 2.0).spin = 30;
  frames(1);
  ASSERT_EQ(s.aircraft.size() + s.bombs.size(), 4u);
  EXPECT_TRUE(s.explosions.empty());

  s.aircraft[1].x = std::nextafter(3.5, 4.0);
  frames(1, true);
  ASSERT_EQ(s.aircraft.size(), 1u);
  EXPECT_DOUBLE_EQ(s.aircraft[0].x, -3.48);
  EXPECT_EQ(escapes, 1);
  EXPECT_EQ(s.inFlight, 1);
  ASSERT_EQ(s.bombs.size(), 1u);
  EXPECT_DOUBLE_EQ(s.bombs[0].y, 1.99);
  EXPECT_EQ(s.bombs[0].spin, 31);
  ASSERT_EQ(s.explosions.size(), 1u);
  EXPECT_DOUBLE_EQ(s.explosions[0].y, -0.01);
  EXPECT_TRUE(s.explosions[0].damaging);
}

// Seed 0 draws 38 then 7719; seed 19 draws 100 then 15331; the spin is the second draw mod 360
// plus the first frame's turn.
TEST_F(Aircraft, BombChanceOnlyInsideTheMiddleStretchAndRisingWithTheScore) {
  const double inside = std::nextafter(2.7, 0.0);
  const struct {
    double x;
    int score;
    std::uint32_t seed;
    int spin;  // 0: no bomb
  } cases[] = {{2.7, 0, 0, 0},
               {-2.7, 0, 0, 0},
               {inside, 0, 0, 160},
               {0.0, 2499, 19, 0},
               {0.0, 2500, 19, 212}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "x " << c.x << ", score " << c.score);
    s.aircraft.clear();
    s.bombs.clear();
    score = c.score;
    addAircraft(c.x, 3.1);
    brambleshot::srand(c.seed);
    frames(1);
    if (std::abs(c.x) == 2.7) {
      EXPECT_EQ(brambleshot::randomState(), c.seed) << "drew at the edge";
    }
    ASSERT_EQ(s.bombs.size(), c.spin == 0 ? 0u : 1u);
    if (c.spin == 0) continue;
    EXPECT_EQ(s.bombs[0].x, c.x);
    EXPECT_DOUBLE_EQ(s.bombs[0].y, 3.09);  // dropped, then fell in the same frame
    EXPECT_EQ(s.bombs[0].spin, c.spin);
  }
}

// Box edges miss; a point inside overlapping boxes hits each target.
TEST_F(Aircraft, GunfireHitsEveryBoxAroundThePoint) {
  addAircraft(1.0, 3.0, 0.0, 1);  // box 0.55..1.6 by 2.9..3.2
  for (const auto& p : {std::array{0.55, 3.05}, {1.6, 3.05}, {1.1, 2.9}, {1.1, 3.2}})
    s.gunfire(p.data());
  EXPECT_EQ(s.aircraft[0].hitPoints + s.gunStreak + s.explosions.size(), 1u);
  addAircraft(1.3, 3.1);
  addBomb(1.2, 3.1).hitPoints = 1;
  const double p[2] = {1.2, 3.05};
  s.gunfire(p);
  ASSERT_EQ(s.aircraft.size(), 1u);
  EXPECT_EQ(s.aircraft[0].hitPoints, 199);
  EXPECT_TRUE(s.bombs.empty());
  EXPECT_EQ(s.inFlight, 1);
  EXPECT_EQ(s.gunStreak, 3);
  ASSERT_EQ(s.explosions.size(), 2u);  // the wrecks' blasts; a streak of 3 makes no spark
  EXPECT_EQ(s.explosions[0].y + s.explosions[1].y, 6.1);
  EXPECT_TRUE(s.explosions[0].damaging && s.explosions[1].damaging);
}

// Every way the score moves; while the game is over it stands still but kills and escapes count.
// The shell only makes its own small explosion: a target with one hit point survives it.
TEST_F(Aircraft, EveryScoringPathWithItsValueAndNoneWhileTheGameIsOver) {
  const struct {
    const char* path;
    int points, kills, escapes;
    bool bomb;
    double x, y;
    int hitPoints;
    char act;
  } paths[] = {{"gun kill", 200, 1, 0, false, 1, 3, 1, 'g'},
               {"gun hit", 0, 0, 0, false, 1, 3, 2, 'g'},
               {"bomb shot", 50, 0, 0, true, -1, 1, 1, 'g'},
               {"blast kill", 250, 1, 0, false, 1, 3, 50, 'b'},
               {"blast on bomb", 75, 0, 0, true, -1, 1, 50, 'b'},
               {"escape", -170, 0, 1, false, 3.6, 3.1, 170, 'f'},
               {"shell", 0, 0, 0, false, 1, 3, 1, 's'},
               {"shell on bomb", 0, 0, 0, true, -1, 1, 1, 's'},
               {"bomb on ground", 0, 0, 0, true, 0, -0.01, 50, 'f'}};
  for (const bool over : {false, true}) {
    for (const auto& p : paths) {
      SCOPED_TRACE(std::string(p.path) + (over ? ", game over" : ""));
      s.aircraft.clear();
      s.bombs.clear();
      s.explosions.clear();
      s.inFlight = s.gunStreak = kills = escapes = 0;
      s.gameOver = over;
      score = 1000;
      (p.bomb ? addBomb(p.x, p.y).hitPoints : addAircraft(p.x, p.y).hitPoints) = p.hitPoints;
      const double at[2] = {p.x, p.y + (p.bomb ? 0.0 : 0.05)};
      if (p.act == 'g') s.gunfire(at);
      if (p.act == 'b') s.applyBlast(at, 0.1);
      if (p.act == 'f') frames(1);
      if (p.act == 's') {
        s.shellImpact(at);
        EXPECT_EQ(s.explosions.at(0).maxRadius, 0.3);
      }
      EXPECT_EQ(score - 1000, over ? 0 : p.points);
      EXPECT_EQ(kills, p.kills);
      EXPECT_EQ(escapes, p.escapes);
    }
  }
}

using ExplosionLife = SquadronGl;

// A spark never lights the scene; a large explosion lights it at its centre until it ends.
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

// A blast touching a box's edge does nothing; a victim's own blast hits its neighbour in the
// same pass, while the explosions' array grows under it.
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
