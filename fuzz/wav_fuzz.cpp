// libFuzzer target: the WAV reader on arbitrary bytes, read from a file as the game does.
#include <cstddef>
#include <cstdint>
#include <string>

#include "audio/wav.h"
#include "scratch_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static ScratchFile scratch("wav-fuzz");
  if (!scratch.write(data, size)) return 0;
  brambleshot::WavSound sound;
  std::string error;
  if (brambleshot::readWav(scratch.path, sound, error)) {
    // Every sample read was in the file, after at least a RIFF header and two chunk headers.
    if (sound.samples.empty() || sound.samples.size() * 2 + 44 > size ||
        sound.sampleRate < brambleshot::kMinWavRate || sound.sampleRate > brambleshot::kMaxWavRate)
      __builtin_trap();
    volatile std::int16_t sink = sound.samples.back();
    (void)sink;
  } else if (error.empty()) {
    __builtin_trap();  // a refusal always says why
  }
  return 0;
}
