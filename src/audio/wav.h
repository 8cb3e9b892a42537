// Reader for the game's sound files: RIFF WAVE, 16-bit PCM, one channel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace brambleshot {

inline constexpr std::size_t kMaxWavBytes = 4u << 20;  // larger files are refused unread
inline constexpr int kMinWavRate = 8000;               // samples per second
inline constexpr int kMaxWavRate = 96000;

struct WavSound {
  int sampleRate = 0;                 // samples per second
  std::vector<std::int16_t> samples;  // mono, at least one
};

// Parses a whole file's bytes. False, with the reason in `error`, for anything but a
// well-formed mono 16-bit PCM file whose chunks all lie inside the bytes given.
bool parseWav(const unsigned char* bytes, std::size_t size, WavSound& sound, std::string& error);

// Reads and parses the file at path (at most kMaxWavBytes). False with the reason in `error`.
bool readWav(const std::string& path, WavSound& sound, std::string& error);

}  // namespace brambleshot
