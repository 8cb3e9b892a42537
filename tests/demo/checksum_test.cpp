// The world checksum sees every field of the world: each field changed on its own changes the
// sum, and a field added to a world record fails here until it is hashed and changed below (or
// named as not part of the world's state).
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "demo/checksum.h"
#include "enemies/squadron.h"
#include "tank/tank.h"
#include "world/game.h"
#include "world/random.h"

namespace brambleshot {
namespace {

// Counts an aggregate's members by how many initialisers it takes: a member counts once,
// except an array of numbers, whose every element counts.
struct AnyField {
  template <class T>
  operator T() const;  // converts to any member's type
};
template <class T, class... Fields>
constexpr std::size_t fieldCount() {
  if constexpr (requires { T{Fields{}..., AnyField{}}; })
    return fieldCount<T, Fields..., AnyField>();
  else
    return sizeof...(Fields);
}

// A world with one record of each kind, none of its fields at a default value that a change
// below could land back on.
void setUpWorld() {
  game = Game{};
  game.windowWidth = 800;
  game.windowHeight = 600;
  game.score = 70;
  game.kills = 3;
  game.escapes = 1;
  tank = Tank{};
  tank.health = 100;
  tank.reload = 5;
  tank.gunPhase = 2;
  squadron = Squadron{};
  squadron.inFlight = 2;
  squadron.gunStreak = 4;
  squadron.aircraft.push_back({.x = 1.0, .y = 5.0, .speed = 0.02});
  squadron.bombs.push_back({.x = -1.0, .y = 3.0, .spin = 12.0});
  squadron.explosions.push_back({.x = 0.5, .y = 0.2, .radius = 0.1, .maxRadius = 1.0});
  srand(1234);
}

struct Change {
  const char* record;
  const char* field;
  void (*apply)();
};

const Change kChanges[] = {
    {"Game", "windowWidth", [] { game.windowWidth += 1; }},
    {"Game", "windowHeight", [] { game.windowHeight += 1; }},
    {"Game", "paused", [] { game.paused = !game.paused; }},
    {"Game", "helpShown", [] { game.helpShown = !game.helpShown; }},
    {"Game", "score", [] { game.score += 1; }},
    {"Game", "kills", [] { game.kills += 1; }},
    {"Game", "escapes", [] { game.escapes += 1; }},
    {"random", "state", [] { rand(); }},
    {"Tank", "x", [] { tank.x += 0.5; }},
    {"Tank", "y", [] { tank.y += 0.5; }},
    {"Tank", "health", [] { tank.health -= 50; }},
    {"Tank", "gunsFiring", [] { tank.gunsFiring = !tank.gunsFiring; }},
    {"Tank", "reload", [] { tank.reload -= 1; }},
    {"Tank", "shellInFlight", [] { tank.shellInFlight = !tank.shellInFlight; }},
    {"Tank", "shellX", [] { tank.shellX += 0.5; }},
    {"Tank", "shellY", [] { tank.shellY += 0.5; }},
    {"Tank", "shellHeading", [] { tank.shellHeading += 1.0; }},
    {"Tank", "aimX", [] { tank.aimX += 0.5; }},
    {"Tank", "aimY", [] { tank.aimY += 0.5; }},
    {"Tank", "pointerX", [] { tank.pointerX += 1.0; }},
    {"Tank", "pointerY", [] { tank.pointerY += 1.0; }},
    {"Tank", "leftGunAngle", [] { tank.leftGunAngle += 1.0; }},
    {"Tank", "rightGunAngle", [] { tank.rightGunAngle += 1.0; }},
    {"Tank", "cannonAngle", [] { tank.cannonAngle += 1.0; }},
    {"Tank", "gunPhase", [] { tank.gunPhase = 3; }},
    {"Squadron", "gameOver", [] { squadron.gameOver = !squadron.gameOver; }},
    {"Squadron", "explosionLightOn",
     [] { squadron.explosionLightOn = !squadron.explosionLightOn; }},
    {"Squadron", "inFlight", [] { squadron.inFlight += 1; }},
    {"Squadron", "gunStreak", [] { squadron.gunStreak += 1; }},
    {"Squadron", "aircraft", [] { squadron.aircraft.push_back(squadron.aircraft[0]); }},
    {"Squadron", "bombs", [] { squadron.bombs.push_back(squadron.bombs[0]); }},
    {"Squadron", "explosions", [] { squadron.explosions.push_back(squadron.explosions[0]); }},
    {"Aircraft", "x", [] { squadron.aircraft[0].x += 0.5; }},
    {"Aircraft", "y", [] { squadron.aircraft[0].y += 0.5; }},
    {"Aircraft", "speed", [] { squadron.aircraft[0].speed = -squadron.aircraft[0].speed; }},
    {"Aircraft", "hitPoints", [] { squadron.aircraft[0].hitPoints -= 1; }},
    {"Aircraft", "dead", [] { squadron.aircraft[0].dead = !squadron.aircraft[0].dead; }},
    {"Bomb", "x", [] { squadron.bombs[0].x += 0.5; }},
    {"Bomb", "y", [] { squadron.bombs[0].y += 0.5; }},
    {"Bomb", "spin", [] { squadron.bombs[0].spin += 1.0; }},
    {"Bomb", "hitPoints", [] { squadron.bombs[0].hitPoints -= 1; }},
    {"Bomb", "dead", [] { squadron.bombs[0].dead = !squadron.bombs[0].dead; }},
    {"Explosion", "x", [] { squadron.explosions[0].x += 0.5; }},
    {"Explosion", "y", [] { squadron.explosions[0].y += 0.5; }},
    {"Explosion", "radius", [] { squadron.explosions[0].radius += 0.1; }},
    {"Explosion", "maxRadius", [] { squadron.explosions[0].maxRadius += 0.1; }},
    {"Explosion", "damaging",
     [] { squadron.explosions[0].damaging = !squadron.explosions[0].damaging; }},
};

TEST(WorldChecksum, ChangesWithEveryFieldOfTheWorld) {
  for (const Change& change : kChanges) {
    setUpWorld();
    const std::uint64_t before = worldChecksum();
    change.apply();
    EXPECT_NE(worldChecksum(), before) << change.record << "." << change.field;
  }
  // The same world gives the same sum.
  setUpWorld();
  const std::uint64_t first = worldChecksum();
  setUpWorld();
  EXPECT_EQ(worldChecksum(), first);
}

// Fields that are not the world's state: fixed settings and hit boxes, the drawing's meshes,
// lists and quadrics, the links to the shell's counters. Arrays of numbers count by element.
struct NotState {
  const char* record;
  const char* fields;
  std::size_t count;
};
const NotState kNotState[] = {
    {"Game", "orthoLeft, orthoRight, orthoBottom, orthoTop, nearPlane, farPlane", 6},
    {"Tank", "hull, wheels[4], quadric, reticleList, flashList, shapeLists", 9},
    {"Tank", "outline[4][2]", 8},
    {"Squadron", "score, kills, escapes, hitTest", 4},
    {"Squadron", "quadric, aircraftMesh, aircraftList, bombList, explosionList", 5},
    {"Aircraft", "hitOutline[4][2]", 8},
    {"Bomb", "hitOutline[4][2]", 8},
};

TEST(WorldChecksum, EveryFieldIsChangedAboveOrNamedAsNotState) {
  const struct {
    const char* record;
    std::size_t fields;
  } records[] = {
      {"Game", fieldCount<Game>()},         {"Tank", fieldCount<Tank>()},
      {"Squadron", fieldCount<Squadron>()}, {"Aircraft", fieldCount<Aircraft>()},
      {"Bomb", fieldCount<Bomb>()},         {"Explosion", fieldCount<Explosion>()},
  };
  for (const auto& r : records) {
    std::size_t accounted = 0;
    for (const Change& change : kChanges)
      accounted += std::strcmp(change.record, r.record) == 0 ? 1 : 0;
    for (const NotState& n : kNotState)
      accounted += std::strcmp(n.record, r.record) == 0 ? n.count : 0;
    EXPECT_EQ(r.fields, accounted)
        << r.record << " has a field the checksum test does not know: hash it in worldChecksum() "
        << "and change it in kChanges, or name it in kNotState if it is not the world's state";
  }
}

}  // namespace
}  // namespace brambleshot
