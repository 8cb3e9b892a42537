// The world's checksum and the picture hash, both 64-bit FNV-1a.
#include "demo/checksum.h"

#include <GL/gl.h>

#include <cstring>

#include "enemies/squadron.h"
#include "tank/tank.h"
#include "world/game.h"
#include "world/random.h"

namespace brambleshot {

namespace {

class Fnv {
 public:
  void bytes(const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i)
      hash_ = (hash_ ^ p[i]) * 1099511628211ull;
  }
  // Values go in by their exact bits (as 64-bit integers, so bools and ints hash alike).
  void add(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    bytes(&bits, sizeof bits);
  }
  void add(long long value) { bytes(&value, sizeof value); }
  void add(int value) { add(static_cast<long long>(value)); }
  void add(bool value) { add(static_cast<long long>(value)); }
  void add(std::uint32_t value) { add(static_cast<long long>(value)); }
  std::uint64_t value() const { return hash_; }

 private:
  std::uint64_t hash_ = 14695981039346656037ull;
};

}  // namespace

std::uint64_t worldChecksum() {
  Fnv h;
  h.add(game.windowWidth);
  h.add(game.windowHeight);
  h.add(game.paused);
  h.add(game.helpShown);
  h.add(game.score);
  h.add(game.kills);
  h.add(game.escapes);
  h.add(randomState());

  for (double v :
       {tank.x, tank.y, tank.shellX, tank.shellY, tank.shellHeading, tank.aimX, tank.aimY,
        tank.pointerX, tank.pointerY, tank.leftGunAngle, tank.rightGunAngle, tank.cannonAngle})
    h.add(v);
  h.add(tank.health);
  h.add(tank.gunsFiring);
  h.add(tank.reload);
  h.add(tank.shellInFlight);
  h.add(tank.gunPhase);

  h.add(squadron.gameOver);
  h.add(squadron.inFlight);
  h.add(squadron.gunStreak);
  h.add(squadron.explosionLightOn);
  // The counts first, so that records cannot slide from one list into the next unnoticed.
  h.add(static_cast<long long>(squadron.aircraft.size()));
  h.add(static_cast<long long>(squadron.bombs.size()));
  h.add(static_cast<long long>(squadron.explosions.size()));
  for (const Aircraft& a : squadron.aircraft) {
    for (double v : {a.x, a.y, a.speed})
      h.add(v);
    h.add(a.hitPoints);
    h.add(a.dead);
  }
  for (const Bomb& b : squadron.bombs) {
    for (double v : {b.x, b.y, b.spin})
      h.add(v);
    h.add(b.hitPoints);
    h.add(b.dead);
  }
  for (const Explosion& e : squadron.explosions) {
    for (double v : {e.x, e.y, e.radius, e.maxRadius})
      h.add(v);
    h.add(e.damaging);
  }
  return h.value();
}

std::uint64_t pictureHash(std::vector<unsigned char>& pixels) {
  const int width = game.windowWidth > 0 ? game.windowWidth : 0;
  const int height = game.windowHeight > 0 ? game.windowHeight : 0;
  pixels.resize(static_cast<std::size_t>(width) * height * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  if (!pixels.empty()) glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  Fnv h;
  h.add(width);
  h.add(height);
  h.bytes(pixels.data(), pixels.size());
  return h.value();
}

}  // namespace brambleshot
