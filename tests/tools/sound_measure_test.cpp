// The sound measures on signals whose answers are known.
#include "sound_measure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "support/test_util.h"

namespace {

using tools::Audio;

// `seconds` of fn(t) for each channel (nullptr leaves a channel silent).
Audio signal(int rate, double seconds, std::vector<std::function<double(double)>> channels) {
  Audio audio{rate, static_cast<int>(channels.size()), {}};
  const auto frames = static_cast<std::size_t>(seconds * rate);
  for (std::size_t n = 0; n < frames; ++n)
    for (const auto& fn : channels)
      audio.samples.push_back(fn ? static_cast<float>(fn(static_cast<double>(n) / rate)) : 0.0f);
  return audio;
}
std::function<double(double)> sine(double hz, double db, double phase = 0) {
  const double amplitude = std::pow(10.0, db / 20.0);
  return [=](double t) { return amplitude * std::sin(2 * std::numbers::pi * hz * t + phase); };
}

TEST(SoundMeasure, LoudnessOfKnownSignals) {
  struct Case {
    const char* what;
    Audio audio;
    double lufs;
  };
  const Case cases[] = {
      {"1 kHz at full scale on one channel", signal(44100, 3, {sine(1000, 0), nullptr}), -3.01},
      {"1 kHz at -23 dBFS in both channels", signal(48000, 3, {sine(1000, -23), sine(1000, -23)}),
       -23.0},
      {"997 Hz at -20 dBFS, mono", signal(44100, 3, {sine(997, -20)}), -23.01},
      {"1 kHz at full scale, one channel, 22.05 kHz", signal(22050, 3, {sine(1000, 0), nullptr}),
       -3.01},
  };
  for (const Case& c : cases) {
    const tools::Loudness l = tools::measureLoudness(c.audio);
    EXPECT_NEAR(l.integrated, c.lufs, 0.05) << c.what;
    EXPECT_NEAR(l.maxMomentary, c.lufs, 0.05) << c.what;
    EXPECT_NEAR(l.maxShortTerm, c.lufs, 0.05) << c.what;
    // A value every 100 ms from the first whole window on.
    EXPECT_EQ(l.momentary.size(), 27u) << c.what;
    EXPECT_EQ(l.shortTerm.size(), 1u) << c.what;
  }
}

TEST(SoundMeasure, IntegratedLoudnessLeavesOutSilenceAndWhatIsFarQuieter) {
  // 5 s at -23 LUFS, 5 s of silence, 5 s 20 LU quieter: the gates keep only the first part, with
  // the three windows that run into the silence (3/4, 1/2 and 1/4 loud: 48.5 in 50).
  const auto loud = sine(1000, -20), quiet = sine(1000, -40);
  const Audio audio = signal(44100, 15, {[&](double t) {
                               return t < 5 ? loud(t) : t < 10 ? 0.0 : quiet(t);
                             }});
  const tools::Loudness l = tools::measureLoudness(audio);
  EXPECT_NEAR(l.integrated, -23.01 + 10 * std::log10(48.5 / 50), 0.02);
  EXPECT_NEAR(l.momentary.back(), -43.01, 0.02);
  // A range measures only itself.
  EXPECT_NEAR(tools::measureLoudness(audio, 10.5, 14).integrated, -43.01, 0.02);
  EXPECT_TRUE(std::isinf(tools::measureLoudness(audio, 6, 9).integrated));
}

// The response of the K-weighting's two sections at hz.
double kWeightingDb(int rate, double hz) {
  const std::complex<double> z = std::polar(1.0, -2 * std::numbers::pi * hz / rate);
  double db = 0;
  for (const tools::Biquad& q : tools::kWeighting(rate))
    db += 20 *
          std::log10(std::abs((q.b0 + q.b1 * z + q.b2 * z * z) / (1.0 + q.a1 * z + q.a2 * z * z)));
  return db;
}

TEST(SoundMeasure, KWeightingIsTheSameCurveAtEveryRate) {
  // At 48 kHz the sections are the published ones.
  const auto at48 = tools::kWeighting(48000);
  const double published[2][5] = {
      {1.53512485958697, -2.69169618940638, 1.19839281085285, -1.69065929318241, 0.73248077421585},
      {1.0, -2.0, 1.0, -1.99004745483398, 0.99007225036621}};
  for (int s = 0; s < 2; ++s) {
    const double got[5] = {at48[s].b0, at48[s].b1, at48[s].b2, at48[s].a1, at48[s].a2};
    for (int i = 0; i < 5; ++i)
      EXPECT_NEAR(got[i], published[s][i], 1e-6) << "section " << s << " coefficient " << i;
  }
  // Other rates get their own coefficients for the same curve.
  for (const int rate : {22050, 44100, 96000})
    for (const double hz : {20.0, 40.0, 100.0, 1000.0, 2000.0})
      EXPECT_NEAR(kWeightingDb(rate, hz), kWeightingDb(48000, hz), 0.1) << rate << " Hz, " << hz;
}

TEST(SoundMeasure, TruePeakFindsThePeakBetweenSamples) {
  struct Case {
    const char* what;
    Audio audio;
    double samplePeak, truePeak;
  };
  const double quarter = 44100 / 4.0;
  const Case cases[] = {
      // Samples at +-0.707 of the wave's crest, which falls halfway between them.
      {"fs/4 at 45 degrees", signal(44100, 1, {sine(quarter, 0, std::numbers::pi / 4)}), -3.01, 0},
      {"the same on the second channel, -6 dB",
       signal(44100, 1, {nullptr, sine(quarter, -6, std::numbers::pi / 4)}), -9.01, -6},
      {"1 kHz, samples near the crest", signal(44100, 1, {sine(1000, -1)}), -1, -1},
  };
  for (const Case& c : cases) {
    // Away from the ends, where the sudden start and stop really do overshoot.
    EXPECT_NEAR(tools::samplePeakDb(c.audio, 0.2, 0.8), c.samplePeak, 0.01) << c.what;
    EXPECT_NEAR(tools::truePeakDb(c.audio, 0.2, 0.8), c.truePeak, 0.05) << c.what;
  }
}

TEST(SoundMeasure, LargestStepIsFoundWhereItIs) {
  // A quiet hum with a cut to silence at 1.25 s in the right channel.
  const auto hum = sine(100, -30);
  const Audio audio =
      signal(44100, 2, {hum, [&](double t) { return t < 1.25 ? 0.5 + hum(t) : 0.0; }});
  const tools::Step step = tools::largestStep(audio);
  EXPECT_EQ(step.channel, 1);
  EXPECT_NEAR(step.at, 1.25, 1.0 / 44100);
  EXPECT_NEAR(step.size, 0.5, 0.05);
  EXPECT_NEAR(step.db, -6.0, 1.0);
  // Just before it, only the hum's own steps: 2 pi 100 / 44100 of its amplitude.
  const tools::Step before = tools::largestStep(audio, 1.0, 1.249);
  EXPECT_NEAR(before.size, 2 * std::numbers::pi * 100 / 44100 * std::pow(10, -1.5), 1e-5);
}

TEST(SoundMeasure, BandLevelsOfSinesAndTheHighPass) {
  for (const double seconds : {0.2, 3.0}) {  // a short sound taken whole, a long one averaged
    const Audio audio = signal(44100, seconds, {sine(1000, -6)});
    const std::vector<double> bands = tools::bandLevelsDb(audio);
    ASSERT_EQ(bands.size(), static_cast<std::size_t>(tools::kBandCount));
    EXPECT_NEAR(tools::bandCentreHz(16), 1000, 1e-9);
    EXPECT_NEAR(bands[16], -9.03, 0.1) << seconds << " s";  // a sine's mean square: half its peak's
    EXPECT_LT(bands[14], -30) << seconds << " s";
    EXPECT_LT(bands[18], -30) << seconds << " s";
    EXPECT_NEAR(tools::bandLevelDb(audio, 0, seconds, 900, 1100), -9.03, 0.1) << seconds << " s";
  }
  // A 4th-order high-pass at 200 Hz: 24 dB an octave below it, nothing lost two octaves above.
  const Audio low = signal(44100, 3, {sine(50, -6)}), high = signal(44100, 3, {sine(800, -6)});
  EXPECT_NEAR(tools::bandLevelsDb(tools::highPassed(low))[3] - tools::bandLevelsDb(low)[3], -48, 2);
  EXPECT_NEAR(tools::bandLevelsDb(tools::highPassed(high))[15], tools::bandLevelsDb(high)[15], 0.1);
}

TEST(SoundMeasure, SpectralDistanceComparesShapesNotLevels) {
  const Audio a = signal(44100, 2, {sine(1000, -6)});
  const Audio quieter = signal(44100, 2, {sine(1000, -26)});
  const Audio other = signal(44100, 2, {sine(2000, -6)});
  EXPECT_NEAR(tools::spectralDistanceDb(tools::bandLevelsDb(a), tools::bandLevelsDb(quieter)), 0,
              0.05);
  // Two bands 60 dB apart (the floor), the other 27 equal: 60 sqrt(2 / 29).
  EXPECT_NEAR(tools::spectralDistanceDb(tools::bandLevelsDb(a), tools::bandLevelsDb(other)),
              60 * std::sqrt(2.0 / 29), 0.5);
}

// A WAV file's bytes: the RIFF header, then the given chunks.
std::string riff(const std::string& chunks, std::uint32_t size = 0) {
  std::string out = "RIFF";
  const std::uint32_t riffSize = size ? size : static_cast<std::uint32_t>(chunks.size() + 4);
  out.append(reinterpret_cast<const char*>(&riffSize), 4);
  return out + "WAVE" + chunks;
}
std::string chunk(const char* id, const std::string& body, std::int64_t size = -1) {
  const auto length = static_cast<std::uint32_t>(size >= 0 ? size : std::ssize(body));
  return std::string(id, 4) + std::string(reinterpret_cast<const char*>(&length), 4) + body;
}
std::string format(std::uint16_t tag, std::uint16_t channels, std::uint16_t bits,
                   std::uint16_t subTag = 0) {
  std::string body(subTag ? 40 : 16, '\0');
  const std::uint32_t rate = 44100;
  std::memcpy(&body[0], &tag, 2);
  std::memcpy(&body[2], &channels, 2);
  std::memcpy(&body[4], &rate, 4);
  std::memcpy(&body[14], &bits, 2);
  if (subTag) std::memcpy(&body[24], &subTag, 2);
  return chunk("fmt ", body);
}
template <typename T>
std::string samples(std::initializer_list<T> values) {
  std::string out;
  for (const T v : values)
    out.append(reinterpret_cast<const char*>(&v), sizeof v);
  return out;
}

TEST(SoundMeasure, ReadsTheWavFilesItMeetsAndRefusesBrokenOnes) {
  const std::string pcm = format(1, 1, 16), floats = format(3, 2, 32);
  const std::string list = chunk("LIST", "abc") + '\0';  // odd length, padded
  struct Case {
    const char* what;
    std::string bytes;
    std::vector<float> samples;  // expected; empty: refused
    const char* error = "";
  };
  const Case cases[] = {
      {"16-bit mono after another chunk",
       riff(list + pcm + chunk("data", samples<int16_t>({16384, -32768}))),
       {0.5f, -1.0f}},
      // OpenAL Soft's wave backend, never closed: extensible format, sizes all ones.
      {"float stereo left open",
       riff(format(0xfffe, 2, 32, 3) +
                chunk("data", samples<float>({0.25f, -0.5f, 1, 0, 7}), 0xffffffff),
            ~0u),
       {0.25f, -0.5f, 1, 0}},
      {"data cut short",
       riff(floats + chunk("data", samples<float>({0.5f, 0.5f, 0.1f}), 64)),
       {0.5f, 0.5f}},
      {"empty", "", {}, "not a RIFF WAVE file"},
      {"no format", riff(chunk("data", samples<int16_t>({1, 2}))), {}, "before their format"},
      {"no data", riff(pcm), {}, "no data chunk"},
      {"format cut short", riff(chunk("fmt ", std::string(10, '\1'))), {}, "too short"},
      {"8-bit", riff(format(1, 1, 8) + chunk("data", "ab")), {}, "16-bit PCM and 32-bit float"},
      {"six channels", riff(format(1, 6, 16) + chunk("data", std::string(24, '\0'))), {}, "mono"},
      {"no whole frame", riff(floats + chunk("data", samples<float>({0.5f}))), {}, "no samples"},
      {"a sample that is not a number",
       riff(floats + chunk("data", samples<float>({0.5f, NAN}))),
       {},
       "not a number"},
      {"a chunk longer than the file",
       riff(chunk("junk", "xy", 1000) + pcm),
       {},
       "no format chunk"},
  };
  for (const Case& c : cases) {
    Audio audio;
    std::string error;
    const bool read = tools::parseWav(reinterpret_cast<const unsigned char*>(c.bytes.data()),
                                      c.bytes.size(), audio, error);
    EXPECT_EQ(read, !c.samples.empty()) << c.what << ": " << error;
    EXPECT_EQ(audio.samples, read ? c.samples : std::vector<float>{}) << c.what;
    if (!read) {
      EXPECT_NE(error.find(c.error), std::string::npos) << c.what << ": " << error;
    }
  }
  testenv::TempDir dir;
  Audio audio;
  std::string error;
  EXPECT_FALSE(tools::readWav((dir / "missing.wav").string(), audio, error));
  testenv::writeFile(dir / "one.wav", cases[0].bytes);
  ASSERT_TRUE(tools::readWav((dir / "one.wav").string(), audio, error)) << error;
  EXPECT_EQ(audio.rate, 44100);
  EXPECT_EQ(audio.channels, 1);
}

}  // namespace
