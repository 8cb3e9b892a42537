// The game's linear congruential generator.
#include "world/random.h"

namespace brambleshot {

namespace {
std::uint32_t state = 1;
}

void srand(std::uint32_t seed) {
  state = seed;
}

int rand() {
  state = state * 214013u + 2531011u;  // unsigned arithmetic wraps mod 2^32
  return static_cast<int>((state >> 16) & 32767u);
}

std::uint32_t randomState() {
  return state;
}

}  // namespace brambleshot
