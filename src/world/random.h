// The game's one random generator: a 32-bit linear congruential generator yielding 0..32767.
//
// Every chance in the game is written as rand() % N < T against these 32768 values, so the
// sequence is part of the game's behaviour; the C library's rand() gives a different one.
#pragma once

#include <cstdint>

namespace brambleshot {

inline constexpr int kRandMax = 32767;

// Sets the generator's state; start-up seeds it once from the calendar time.
void srand(std::uint32_t seed);
// Advances the state (state * 214013 + 2531011 mod 2^32) and returns (state >> 16) & 32767.
int rand();
// The current state, for tests and diagnostics.
std::uint32_t randomState();

}  // namespace brambleshot
