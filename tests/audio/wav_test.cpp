// The WAV reader against hand-made good and broken files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <string>
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

class WavReader : public ::testing::Test {
 protected:
  bool read(const std::string& bytes) {
    testenv::writeFile(path, bytes);
    error.clear();
    sound = WavSound{};
    return brambleshot::readWav(path, sound, error);
  }

  testenv::TempDir dir;
  const std::string path = (dir / "sound.wav").string();
  WavSound sound;
  std::string error;
};

TEST_F(WavReader, ReadsSamplesPastChunksItDoesNotKnow) {
  const std::vector<std::int16_t> expected = {1, -2, 32767, -32768};
  const std::string cases[] = {
      riff(format() + chunk("data", kSamples)),
      // An odd-sized chunk before the samples is padded to an even length.
      riff(chunk("LIST", "odd") + format() + chunk("fact", "1234") + chunk("data", kSamples)),
      // Bytes after the RIFF chunk are not part of the sound.
      riff(format() + chunk("data", kSamples)) + "trailing",
  };
  for (const std::string& bytes : cases) {
    ASSERT_TRUE(read(bytes)) << error;
    EXPECT_EQ(sound.sampleRate, 22050);
    EXPECT_EQ(sound.samples, expected);
  }
}

TEST_F(WavReader, RefusesEveryMalformedFileWithItsReason) {
  const std::string good = riff(format() + chunk("data", kSamples));
  std::string shortRiff = good;
  shortRiff[4] = static_cast<char>(shortRiff[4] + 2);  // claims two bytes more than there are
  std::string overlong = good;
  overlong.replace(40, 4, le32(0xfffffff0u));  // the data chunk's size
  const struct {
    std::string bytes;
    const char* reason;
  } cases[] = {
      {"", "not a RIFF WAVE file"},
      {"RIFX" + good.substr(4), "not a RIFF WAVE file"},
      {shortRiff, "the file is shorter than its header says"},
      {good.substr(0, good.size() - 1), "the file is shorter than its header says"},
      {overlong, "a chunk runs past the end of the file"},
      {riff(format(3, 1, 22050, 32) + chunk("data", kSamples)), "not PCM"},
      {riff(format(1, 2) + chunk("data", kSamples)), "not mono"},
      {riff(format(1, 1, 22050, 8) + chunk("data", kSamples)), "not 16 bits per sample"},
      {riff(format(1, 1, 4000) + chunk("data", kSamples)), "an unusable sample rate"},
      {riff(format(1, 1, 0xffffffffu) + chunk("data", kSamples)), "an unusable sample rate"},
      {riff(chunk("fmt ", format().substr(8, 14))), "the format chunk is too short"},
      {riff(format() + format() + chunk("data", kSamples)), "two format chunks"},
      {riff(chunk("data", kSamples) + format()), "samples before the format chunk"},
      {riff(format() + chunk("data", "")), "no whole samples"},
      {riff(format() + chunk("data", "abc")), "no whole samples"},
      {riff(format()), "no samples"},
      {riff(chunk("LIST", "x")), "no format chunk"},
      {riff(format() + std::string(8 * 70, '\0') + chunk("data", kSamples)), "too many chunks"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    EXPECT_FALSE(read(c.bytes));
    EXPECT_EQ(error, c.reason);
    EXPECT_TRUE(sound.samples.empty());
  }
  // An inconsistent byte rate: the header lies about the stream.
  std::string lying = good;
  lying.replace(28, 4, le32(12345));
  EXPECT_FALSE(read(lying));
  EXPECT_EQ(error, "inconsistent block size or byte rate");
}

TEST_F(WavReader, RefusesMissingAndOversizedFilesUnread) {
  WavSound nothing;
  EXPECT_FALSE(brambleshot::readWav((dir / "absent.wav").string(), nothing, error));
  EXPECT_EQ(error, "cannot be opened");
  // A folder, and a FIFO nobody writes to (which must not be waited for).
  const std::string fifo = (dir / "fifo.wav").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {dir.path().string(), fifo}) {
    EXPECT_FALSE(brambleshot::readWav(path, nothing, error));
    EXPECT_EQ(error, "cannot be opened");
  }
  const std::string big = riff(format() + chunk("data", std::string(brambleshot::kMaxWavBytes, 0)));
  EXPECT_FALSE(read(big));
  EXPECT_EQ(error, "too large for a sound");
}

}  // namespace
