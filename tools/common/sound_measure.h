// Measuring sound as a mixing engineer does: peaks between the samples, loudness as heard
// (K-weighted, gated), steps that click, and levels in third-octave bands. Shared by the sound
// report tool and the tests that judge the game's mix; it knows nothing of the game.
//
// Times are seconds from the start of the audio; a range [from, to) is clamped to the audio.
// Levels are in dB relative to full scale (1.0); silence gives minus infinity.
#pragma once

#include <array>
#include <complex>
#include <cstddef>
#include <limits>
#include <string>
#include <vector>

namespace tools {

inline constexpr double kWholeAudio = std::numeric_limits<double>::infinity();

struct Audio {
  int rate = 0;
  int channels = 0;
  std::vector<float> samples;  // interleaved, channel 0 first

  std::size_t frames() const { return channels > 0 ? samples.size() / channels : 0; }
  double seconds() const { return rate > 0 ? static_cast<double>(frames()) / rate : 0.0; }
  // The sample frame at time t, clamped to [0, frames()].
  std::size_t frameAt(double t) const;
};

// Reads a 16-bit PCM or 32-bit float WAV, mono or stereo. A data chunk that claims more bytes
// than follow (a file its writer never closed: OpenAL Soft's wave backend fixes the sizes only
// when it closes) is taken as everything after its header. False with a reason for anything
// else, including samples that are not numbers.
bool readWav(const std::string& path, Audio& audio, std::string& error);
bool parseWav(const unsigned char* bytes, std::size_t size, Audio& audio, std::string& error);

// 20 log10 of an amplitude, minus infinity for 0.
double toDb(double amplitude);

// Largest |sample| over every channel.
double samplePeakDb(const Audio& audio, double from = 0, double to = kWholeAudio);
// The peak of the signal between the samples too (4x oversampled through a 96-tap windowed-sinc
// interpolator), over every channel: dBTP.
double truePeakDb(const Audio& audio, double from = 0, double to = kWholeAudio);

// Loudness in LUFS (ITU-R BS.1770-4: K-weighted mean square summed over the channels).
struct Loudness {
  double integrated = -std::numeric_limits<double>::infinity();  // absolute and relative gates
  double maxMomentary = -std::numeric_limits<double>::infinity();
  double maxShortTerm = -std::numeric_limits<double>::infinity();
  // One value every 100 ms: the 400 ms (momentary) and 3 s (short-term) windows ending there,
  // the first ending 400 ms or 3 s after `from`.
  std::vector<double> momentary, shortTerm;
};
Loudness measureLoudness(const Audio& audio, double from = 0, double to = kWholeAudio);

// The K-weighting's two biquads for a sample rate, derived from their analogue shapes (so any
// rate gets the same curve): the head's high shelf, then the low cut.
struct Biquad {
  double b0, b1, b2, a1, a2;  // a0 = 1
};
std::array<Biquad, 2> kWeighting(int rate);

// The largest sample-to-sample step |x[n] - x[n-1]| with both samples in [from, to), any
// channel: where a click would show.
struct Step {
  double size = 0.0;  // linear, full scale 1
  double db = -std::numeric_limits<double>::infinity();
  double at = 0.0;  // seconds, of the later sample
  int channel = 0;
};
Step largestStep(const Audio& audio, double from = 0, double to = kWholeAudio);

// The audio through a 4th-order Butterworth high-pass (two biquads): what small speakers leave.
Audio highPassed(const Audio& audio, double cornerHz = 200.0);

// The 29 third-octave bands from 25 Hz to 16 kHz (IEC centres 1000 * 10^(k/10)).
inline constexpr int kBandCount = 29;
double bandCentreHz(int band);
// Mean-square level of each band in dB over [from, to), the channels' powers averaged.
std::vector<double> bandLevelsDb(const Audio& audio, double from = 0, double to = kWholeAudio);
// The level in dB of what lies between loHz and hiHz over [from, to).
double bandLevelDb(const Audio& audio, double from, double to, double loHz, double hiHz);
// How far apart two sounds' spectra are: the rms over the bands of the difference of their band
// levels, each spectrum first normalised to 0 dB total and floored 60 dB under its strongest band.
double spectralDistanceDb(const std::vector<double>& a, const std::vector<double>& b);

// The discrete Fourier transform in place (radix 2: the size must be a power of two).
void fft(std::vector<std::complex<double>>& values);

}  // namespace tools
