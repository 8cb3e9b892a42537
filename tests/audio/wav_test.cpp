// The WAV reader against hand-made good and broken files.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "audio/wav.h"
#include "support/test_util.h"

namespace {

using brambleshot::WavSound;

std::string le16(unsigned v) {
  return {static_cast<char>(v & 0xff), static_cast<char>((v >> 8) & 0xff)};
}
std::string le32(std::uint32_t v) {
  return le16(v & 0xffff) + le16(v >> 16);
}
std::string chunk(const std::string& id, const std::string& body) {
  return id + le32(static_cast<std::uint32_t>(body.size())) + body +
         (body.size() % 2 ? std::string(1, '\0') : "");
}
std::string format(unsigned tag = 1, unsigned channels = 1, std::uint32_t rate = 22050,
                   unsigned bits = 16) {
  const unsigned block = channels * bits / 8;
  return chunk("fmt ", le16(tag) + le16(channels) + le32(rate) + le32(rate * block) + le16(block) +
                           le16(bits));
}
std::string riff(const std::string& chunks) {
  return "RIFF" + le32(static_cast<std::uint32_t>(chunks.size() + 4)) + "WAVE" + chunks;
}
// Samples 1, -2, 32767, -32768 as the file stores them.
const std::string kSamples = le16(1) + le16(0xfffe) + le16(0x7fff) + le16(0x8000);
const std::vector<std::int16_t> kValues = {1, -2, 32767, -32768};

bool parse(const std::string& bytes, WavSound& sound, std::string& error) {
  return brambleshot::parseWav(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                               sound, error);
}

// Good files (no reason) are read past chunks the reader does not know; every malformed one is
// refused with its reason and the sound left empty.
TEST(WavReader, ReadsSamplesPastUnknownChunksAndRefusesMalformedFilesWithTheirReason) {
  const std::string good = riff(format() + chunk("data", kSamples));
  const auto patched = [&good](std::size_t at, const std::string& bytes) {
    return std::string(good).replace(at, bytes.size(), bytes);
  };
  const std::pair<std::string, std::string> cases[] = {
      // An odd-sized chunk before the samples is padded to an even length.
      {riff(chunk("LIST", "odd") + format() + chunk("fact", "1234") + chunk("data", kSamples)), ""},
      {good + "trailing", ""},  // bytes after the RIFF chunk are not part of the sound
      {"", "not a RIFF WAVE file"},
      {patched(4, le32(46)), "the file is shorter than its header says"},  // two bytes more
      {patched(40, le32(0xfffffff0u)), "a chunk runs past the end of the file"},
      {riff(format(3, 1, 22050, 32) + chunk("data", kSamples)), "not PCM"},
      {riff(format(1, 2) + chunk("data", kSamples)), "not mono"},
      {riff(format(1, 1, 0xffffffffu) + chunk("data", kSamples)), "an unusable sample rate"},
      {patched(28, le32(12345)), "inconsistent block size or byte rate"},
      {riff(chunk("fmt ", format().substr(8, 14))), "the format chunk is too short"},
      {riff(format() + chunk("data", "abc")), "no whole samples"},
      {riff(chunk("LIST", "x")), "no format chunk"},
      {riff(format() + std::string(8 * 70, '\0') + chunk("data", kSamples)), "too many chunks"},
  };
  for (const auto& [bytes, reason] : cases) {
    SCOPED_TRACE(reason);
    WavSound sound;
    std::string error;
    EXPECT_EQ(parse(bytes, sound, error), reason.empty());
    EXPECT_EQ(error, reason);
    EXPECT_EQ(sound.samples, reason.empty() ? kValues : std::vector<std::int16_t>());
    EXPECT_EQ(sound.sampleRate, reason.empty() ? 22050 : 0);
  }
}

TEST(WavReader, RefusesOversizedFilesUnread) {
  testenv::TempDir dir;
  WavSound sound;
  std::string error;
  testenv::writeFile(dir / "big.wav",
                     riff(format() + chunk("data", std::string(brambleshot::kMaxWavBytes, 0))));
  EXPECT_FALSE(brambleshot::readWav((dir / "big.wav").string(), sound, error));
  EXPECT_EQ(error, "too large for a sound");
}

}  // namespace
