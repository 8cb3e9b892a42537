// libFuzzer target: the sound report's WAV reader on arbitrary bytes, and the measures on
// whatever it reads.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "sound_measure.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tools::Audio audio;
  std::string error;
  if (!tools::parseWav(data, size, audio, error)) {
    if (error.empty() || !audio.samples.empty()) __builtin_trap();
    return 0;
  }
  // Every sample read was in the input, and every one is a number.
  if (audio.samples.empty() || audio.samples.size() * 2 > size) __builtin_trap();
  for (const float sample : audio.samples)
    if (!std::isfinite(sample)) __builtin_trap();
  tools::truePeakDb(audio);
  tools::measureLoudness(audio, 0.001, 1.0);
  tools::largestStep(audio);
  return 0;
}
