// WAV reader. It walks the RIFF chunks with every offset checked against the bytes it holds,
// takes the format from "fmt " and the samples from "data", and skips any other chunk, so no
// header can make it read outside the file or allocate more than the file holds.
#include "audio/wav.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "assets/resource_file.h"

namespace brambleshot {

namespace {

constexpr unsigned kPcmFormat = 1;
constexpr int kMaxChunks = 64;  // a real file has a handful; more is garbage

bool fail(std::string& error, const char* reason) {
  error = reason;
  return false;
}

}  // namespace

bool parseWav(const unsigned char* bytes, std::size_t size, WavSound& sound, std::string& error) {
  if (size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0)
    return fail(error, "not a RIFF WAVE file");
  // The RIFF size counts from byte 8; anything after the RIFF chunk is ignored.
  const std::uint64_t riffEnd = static_cast<std::uint64_t>(little32(bytes + 4)) + 8;
  if (riffEnd > size) return fail(error, "the file is shorter than its header says");

  bool haveFormat = false;
  int rate = 0;
  std::size_t offset = 12;
  for (int chunk = 0; offset + 8 <= riffEnd; ++chunk) {
    if (chunk == kMaxChunks) return fail(error, "too many chunks");
    const unsigned char* header = bytes + offset;
    const std::uint64_t length = little32(header + 4);
    const std::size_t body = offset + 8;
    if (length > riffEnd - body) return fail(error, "a chunk runs past the end of the file");
    if (std::memcmp(header, "fmt ", 4) == 0) {
      if (haveFormat) return fail(error, "two format chunks");
      if (length < 16) return fail(error, "the format chunk is too short");
      const unsigned char* f = bytes + body;
      const unsigned channels = little16(f + 2);
      const std::uint32_t sampleRate = little32(f + 4);
      if (little16(f) != kPcmFormat) return fail(error, "not PCM");
      if (channels != 1) return fail(error, "not mono");
      if (little16(f + 14) != 16) return fail(error, "not 16 bits per sample");
      if (sampleRate < kMinWavRate || sampleRate > kMaxWavRate)
        return fail(error, "an unusable sample rate");
      if (little16(f + 12) != 2 || little32(f + 8) != sampleRate * 2)
        return fail(error, "inconsistent block size or byte rate");
      rate = static_cast<int>(sampleRate);
      haveFormat = true;
    } else if (std::memcmp(header, "data", 4) == 0) {
      if (!haveFormat) return fail(error, "samples before the format chunk");
      if (length == 0 || length % 2 != 0) return fail(error, "no whole samples");
      std::vector<std::int16_t> samples(static_cast<std::size_t>(length / 2));
      const unsigned char* s = bytes + body;
      for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(little16(s + 2 * i));
      sound.sampleRate = rate;
      sound.samples = std::move(samples);
      return true;
    }
    // Chunks are padded to an even length; a missing pad byte at the very end is tolerated.
    offset = body + static_cast<std::size_t>(length) + (length % 2);
  }
  return fail(error, haveFormat ? "no samples" : "no format chunk");
}

bool readWav(const std::string& path, WavSound& sound, std::string& error) {
  // Only a regular file: a FIFO in its place must not block start-up.
  std::uint64_t size = 0;
  const ResourceFile file = openResource(path, size);
  if (!file) return fail(error, "cannot be opened");
  if (size > kMaxWavBytes) return fail(error, "too large for a sound");
  const auto bytes = std::make_unique<unsigned char[]>(static_cast<std::size_t>(size));
  if (std::fread(bytes.get(), 1, static_cast<std::size_t>(size), file.get()) !=
      static_cast<std::size_t>(size))
    return fail(error, "cannot be read");
  return parseWav(bytes.get(), static_cast<std::size_t>(size), sound, error);
}

}  // namespace brambleshot
