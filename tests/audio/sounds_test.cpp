// The committed sounds: each loads with the game's reader, starts at once (a sound that opens
// with silence would lag its event), fades out without a click, and stays short.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "audio/sound_player.h"
#include "audio/wav.h"
#include "support/test_util.h"

namespace {

namespace fs = std::filesystem;

TEST(CommittedSounds, LoadStartAtOnceAndEndQuietly) {
  int count = 0;
  for (const fs::directory_entry& entry :
       fs::directory_iterator(testenv::sourceDir() / "Resources" / "sounds")) {
    const std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    brambleshot::WavSound sound;
    std::string error;
    ASSERT_TRUE(brambleshot::readWav(entry.path().string(), sound, error)) << error;
    ++count;
    EXPECT_TRUE(sound.sampleRate == 22050 || sound.sampleRate == 44100) << sound.sampleRate;
    const auto& s = sound.samples;
    EXPECT_LE(s.size(), static_cast<std::size_t>(sound.sampleRate) * 5 / 2);  // 2.5 s at most
    const auto firstMs = static_cast<std::ptrdiff_t>(sound.sampleRate / 1000);
    int startPeak = 0;
    for (auto it = s.begin(); it != s.begin() + 10 * firstMs; ++it)
      startPeak = std::max(startPeak, std::abs(static_cast<int>(*it)));
    EXPECT_GT(startPeak, 8000);  // a quarter of full scale within 10 ms
    if (name == "engine.wav") {
      // The hum loops: its end runs into its start without a jump.
      EXPECT_LT(std::abs(s.back() - s.front()), 1500);
    } else {
      EXPECT_LT(std::abs(static_cast<int>(s.back())), 100);
    }
  }
  EXPECT_EQ(count, brambleshot::SoundPlayer::kSoundCount);
}

}  // namespace
