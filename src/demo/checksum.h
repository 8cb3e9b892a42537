// Checksums that tell whether a replay is still the game that was recorded.
#pragma once

#include <cstdint>
#include <vector>

namespace brambleshot {

// A hash over the exact values of the world's state: the counters and game states, the
// generator, the tank and every aircraft, bomb and explosion. Equal states give equal sums on
// any machine; the smallest difference in any position changes the sum.
std::uint64_t worldChecksum();

// A hash of the back buffer's pixels at the game's window size, read before the swap; pixels is
// reused between calls. Pictures depend on the GL driver and the models, not only the world.
std::uint64_t pictureHash(std::vector<unsigned char>& pixels);

}  // namespace brambleshot
