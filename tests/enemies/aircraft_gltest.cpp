// Aircraft and bombs in flight: moves, escapes, the bomb chance, ground impacts, the light guns
// and the cannon shell.
#include <cmath>
#include <string>

#include "squadron_fixture.h"

namespace enemytest {
namespace {

using AircraftFlight = SquadronGl;

// A pause holds every move, but an aircraft beyond 3.5 still escapes and a bomb below the ground
// still explodes: both are tested on the position before the frame's move.
TEST_F(AircraftFlight, PauseHoldsMovesButNotEscapesOrGroundImpacts) {
  score = 1000;
  addAircraft(-3.5, 3.1, 0.02);
  addAircraft(3.5, 3.1, 0.0, 170);  // 30 gun hits taken: the escape costs the 170 left
  addBomb(1.0, 0.0);
  addBomb(0.0, 2.0).spin = 30;
  frames(1);
  ASSERT_EQ(s.aircraft.size(), 2u);
  EXPECT_DOUBLE_EQ(s.aircraft[0].x, -3.48);
  ASSERT_EQ(s.bombs.size(), 2u);
  EXPECT_DOUBLE_EQ(s.bombs[0].y, -0.01);
  EXPECT_TRUE(s.explosions.empty());

  s.aircraft[1].x = std::nextafter(3.5, 4.0);
  frames(1, true);
  EXPECT_DOUBLE_EQ(s.aircraft[0].x, -3.48);
  ASSERT_EQ(s.aircraft.size(), 1u);
  EXPECT_EQ(score, 830);
  EXPECT_EQ(escapes, 1);
  EXPECT_EQ(s.inFlight, 1);
  ASSERT_EQ(s.bombs.size(), 1u);
  EXPECT_DOUBLE_EQ(s.bombs[0].y, 1.99);
  EXPECT_EQ(s.bombs[0].spin, 31);
  ASSERT_EQ(s.explosions.size(), 1u);
  EXPECT_EQ(s.explosions[0].x, 1.0);
  EXPECT_DOUBLE_EQ(s.explosions[0].y, -0.01);
  EXPECT_TRUE(s.explosions[0].damaging);
}

// Seed 0 draws 38 then 7719; seed 19 draws 100 (between the two lowest thresholds) then 15331.
// The spin is the second draw mod 360, plus the first frame's turn.
TEST_F(AircraftFlight, BombChanceOnlyInsideTheMiddleStretchAndRisingWithTheScore) {
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

using AircraftGuns = SquadronGl;

TEST_F(AircraftGuns, EdgesMissAndAPointInsideOverlappingBoxesHitsEachTarget) {
  score = 100;
  addAircraft(1.0, 3.0, 0.0, 1);  // box 0.55..1.6 by 2.9..3.2
  const double edges[4][2] = {{0.55, 3.05}, {1.6, 3.05}, {1.1, 2.9}, {1.1, 3.2}};
  for (const auto& p : edges)
    s.gunfire(p);
  EXPECT_EQ(s.aircraft[0].hitPoints, 1);
  EXPECT_EQ(s.gunStreak, 0);
  EXPECT_TRUE(s.explosions.empty());

  addAircraft(1.3, 3.1);
  addBomb(1.2, 3.1).hitPoints = 1;
  const double p[2] = {1.2, 3.05};
  s.gunfire(p);
  ASSERT_EQ(s.aircraft.size(), 1u);
  EXPECT_EQ(s.aircraft[0].hitPoints, 199);
  EXPECT_TRUE(s.bombs.empty());
  EXPECT_EQ(score, 350);
  EXPECT_EQ(kills, 1);
  EXPECT_EQ(s.inFlight, 1);
  EXPECT_EQ(s.gunStreak, 3);
  ASSERT_EQ(s.explosions.size(), 2u);  // the wrecks' blasts; a streak of 3 makes no spark
  EXPECT_EQ(s.explosions[0].y, 3.0);
  EXPECT_EQ(s.explosions[1].y, 3.1);
  EXPECT_TRUE(s.explosions[0].damaging && s.explosions[1].damaging);
}

TEST_F(AircraftGuns, SparksOnThe1st9th17thHitAndOnTheMissAfter) {
  addAircraft(0.0, 3.0);
  const double on[2] = {0.0, 3.0}, off[2] = {-3.0, 0.5};
  const int expected[] = {1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 3, 4, 4};
  for (int shot = 0; shot < 19; ++shot) {
    s.gunfire(shot < 17 ? on : off);  // the streak still reads 17 when the first miss sparks
    EXPECT_EQ(s.explosions.size(), expected[shot]) << "shot " << shot + 1;
  }
  EXPECT_EQ(s.explosions.back().x, off[0]);
  EXPECT_FALSE(s.explosions.back().damaging);
  EXPECT_FALSE(light4On()) << "sparks never light the scene";
}

// The shell takes no hit points itself: its explosion's four blast frames bring the aircraft
// down in the fourth, while the aircraft flies on inside the growing square.
TEST_F(AircraftGuns, ShellExplosionBringsTheAircraftDownInItsFourthFrame) {
  addAircraft(3.0, 3.1, 0.01);  // beyond the bombing stretch, short of the escape
  const double edge[2] = {3.6, 3.1}, p[2] = {3.05, 3.15};
  EXPECT_FALSE(s.shellImpact(edge));
  ASSERT_TRUE(s.shellImpact(p));
  ASSERT_EQ(s.explosions.size(), 1u);
  EXPECT_EQ(s.explosions[0].maxRadius, 0.3);
  for (int hp : {150, 100, 50}) {
    frames(1);
    ASSERT_EQ(s.aircraft.size(), 1u);
    EXPECT_EQ(s.aircraft[0].hitPoints, hp);
  }
  frames(1);
  EXPECT_TRUE(s.aircraft.empty());
  EXPECT_EQ(score, 250);
  // The shell's explosion ended; the wreck's began and grew in the same pass.
  ASSERT_EQ(s.explosions.size(), 1u);
  EXPECT_EQ(s.explosions[0].maxRadius, 0.6);
  EXPECT_DOUBLE_EQ(s.explosions[0].radius, 0.15);
  EXPECT_DOUBLE_EQ(s.explosions[0].x, 3.03);

  const double bomb[2] = {-1.0, 0.85};
  addBomb(-1.0, 1.0);
  EXPECT_TRUE(s.shellImpact(bomb));
  EXPECT_EQ(s.explosions.back().maxRadius, 0.3);
}

// Every way the score moves, with its value. While the game is over the score stands still,
// but kills and escapes are still counted.
TEST_F(AircraftGuns, EveryScoringPathWithItsValueAndNoneWhileTheGameIsOver) {
  const double plane[2] = {1.0, 3.05}, bomb[2] = {-1.0, 1.0};
  const struct {
    const char* path;
    int points, kills, escapes;
  } paths[] = {{"gun kill", 200, 1, 0},   {"gun hit", 0, 0, 0},        {"bomb shot", 50, 0, 0},
               {"blast kill", 250, 1, 0}, {"blast on bomb", 75, 0, 0}, {"escape", -170, 0, 1},
               {"shell", 0, 0, 0},        {"bomb on ground", 0, 0, 0}};
  for (const bool over : {false, true}) {
    for (const auto& p : paths) {
      SCOPED_TRACE(std::string(p.path) + (over ? ", game over" : ""));
      s.aircraft.clear();
      s.bombs.clear();
      s.explosions.clear();
      s.inFlight = s.gunStreak = 0;
      s.gameOver = over;
      score = 1000;
      kills = escapes = 0;
      const std::string path = p.path;
      if (path == "gun kill" || path == "gun hit") {
        addAircraft(1.0, 3.0, 0.0, path == "gun kill" ? 1 : 2);
        s.gunfire(plane);
      } else if (path == "bomb shot") {
        addBomb(bomb[0], bomb[1]).hitPoints = 1;
        s.gunfire(bomb);
      } else if (path == "blast kill") {
        addAircraft(1.0, 3.0, 0.0, 50);
        s.applyBlast(plane, 0.1);
      } else if (path == "blast on bomb") {
        addBomb(bomb[0], bomb[1]);
        s.applyBlast(bomb, 0.1);
      } else if (path == "escape") {
        addAircraft(3.6, 3.1, 0.0, 170);
        frames(1);
      } else if (path == "shell") {
        addAircraft(1.0, 3.0);
        s.shellImpact(plane);
      } else {
        addBomb(0.0, -0.01);
        frames(1);
      }
      EXPECT_EQ(score - 1000, over ? 0 : p.points);
      EXPECT_EQ(kills, p.kills);
      EXPECT_EQ(escapes, p.escapes);
    }
  }
}

}  // namespace
}  // namespace enemytest
