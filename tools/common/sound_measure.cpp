// Peaks, loudness, steps and band levels of recorded sound.
#include "sound_measure.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <numbers>

namespace tools {

namespace {

constexpr double kMinusInfinity = -std::numeric_limits<double>::infinity();

std::uint32_t readLe(const unsigned char* p, int bytes) {
  std::uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i)
    value = value << 8 | p[i];
  return value;
}

// The frames [first, last) of a time range.
struct Range {
  std::size_t first, last;
  std::size_t size() const { return last - first; }
};
Range rangeOf(const Audio& audio, double from, double to) {
  const std::size_t first = audio.frameAt(from);
  return {first, std::max(first, audio.frameAt(to))};
}

// Transposed direct form II, in double so that a low corner at 44.1 kHz stays exact.
class Filter {
 public:
  explicit Filter(const Biquad& q) : q_(q) {}
  double operator()(double x) {
    const double y = q_.b0 * x + s1_;
    s1_ = q_.b1 * x - q_.a1 * y + s2_;
    s2_ = q_.b2 * x - q_.a2 * y;
    return y;
  }

 private:
  Biquad q_;
  double s1_ = 0, s2_ = 0;
};

// 20 log10 for powers: 10 log10, minus infinity for 0.
double powerDb(double power) {
  return power > 0 ? 10.0 * std::log10(power) : kMinusInfinity;
}

// The interpolator for the true peak: 4 phases of 24 taps of a Kaiser-windowed sinc cut at the
// original Nyquist frequency. Phase 0 is the samples themselves; each other phase is scaled to
// pass DC unchanged.
constexpr int kPhases = 4, kTaps = 24;
using Interpolator = std::array<std::array<double, kTaps>, kPhases>;

double besselI0(double x) {
  double sum = 1.0, term = 1.0;
  for (int k = 1; k < 40; ++k) {
    term *= (x / (2 * k)) * (x / (2 * k));
    sum += term;
  }
  return sum;
}

Interpolator makeInterpolator() {
  constexpr double kBeta = 8.0, kHalf = kTaps / 2;
  Interpolator taps{};
  for (int phase = 0; phase < kPhases; ++phase) {
    double sum = 0.0;
    for (int j = 0; j < kTaps; ++j) {
      // Tap j weighs sample n + j - (kHalf - 1) for the point n + phase / kPhases.
      const double t = static_cast<double>(phase) / kPhases - (j - (kHalf - 1));
      const double sinc = t == 0 ? 1.0 : std::sin(std::numbers::pi * t) / (std::numbers::pi * t);
      const double r = t / kHalf;
      const double window = besselI0(kBeta * std::sqrt(std::max(0.0, 1 - r * r))) / besselI0(kBeta);
      taps[phase][j] = sinc * window;
      sum += taps[phase][j];
    }
    for (double& tap : taps[phase])
      tap /= sum;
  }
  return taps;
}

// The one-sided power spectrum of [from, to), scaled so that the bins sum to the mean square
// (channels averaged). Long ranges are Welch averages of Hann-windowed half-overlapping
// segments (the last one flush with the end); a range no longer than a segment is taken whole,
// unwindowed, so that a short sound keeps its attack. Bins are rate / size apart, about 1 Hz.
struct Spectrum {
  double binHz = 1.0;
  std::vector<double> power;

  double sum(double loHz, double hiHz) const {
    double total = 0.0;
    for (std::size_t k = 0; k < power.size(); ++k)
      if (k * binHz >= loHz && k * binHz < hiHz) total += power[k];
    return total;
  }
};

Spectrum spectrumOf(const Audio& audio, double from, double to) {
  std::size_t n = 1024;
  while (n < static_cast<std::size_t>(audio.rate) / 1.5)
    n <<= 1;
  Spectrum spectrum{static_cast<double>(audio.rate) / n, std::vector<double>(n / 2 + 1, 0.0)};
  const Range range = rangeOf(audio, from, to);
  if (range.size() == 0) return spectrum;
  const std::size_t length = std::min(n, range.size());
  std::vector<double> window(length, 1.0);
  if (range.size() > n)
    for (std::size_t i = 0; i < n; ++i)
      window[i] = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / n);
  double windowEnergy = 0.0;
  for (const double w : window)
    windowEnergy += w * w;
  std::vector<std::size_t> starts;
  for (std::size_t s = 0; s + length <= range.size(); s += n / 2)
    starts.push_back(s);
  if (starts.back() + length < range.size()) starts.push_back(range.size() - length);

  std::vector<std::complex<double>> buffer(n);
  const double scale =
      1.0 / (static_cast<double>(n) * windowEnergy * starts.size() * audio.channels);
  for (int c = 0; c < audio.channels; ++c) {
    for (const std::size_t start : starts) {
      std::fill(buffer.begin(), buffer.end(), 0.0);
      for (std::size_t i = 0; i < length; ++i)
        buffer[i] = audio.samples[(range.first + start + i) * audio.channels + c] * window[i];
      fft(buffer);
      for (std::size_t k = 0; k <= n / 2; ++k)
        spectrum.power[k] += std::norm(buffer[k]) * scale * (k == 0 || k == n / 2 ? 1 : 2);
    }
  }
  return spectrum;
}

}  // namespace

void fft(std::vector<std::complex<double>>& a) {
  const std::size_t n = a.size();
  for (std::size_t i = 1, j = 0; i < n; ++i) {
    std::size_t bit = n >> 1;
    for (; j & bit; bit >>= 1)
      j ^= bit;
    j |= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (std::size_t len = 2; len <= n; len <<= 1) {
    const std::complex<double> step = std::polar(1.0, -2 * std::numbers::pi / len);
    for (std::size_t i = 0; i < n; i += len) {
      std::complex<double> w = 1.0;
      for (std::size_t k = 0; k < len / 2; ++k, w *= step) {
        const std::complex<double> u = a[i + k], v = a[i + k + len / 2] * w;
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
      }
    }
  }
}

std::size_t Audio::frameAt(double t) const {
  const double frame = t * rate;
  if (!(frame > 0)) return 0;  // also NaN
  return frame >= static_cast<double>(frames()) ? frames() : static_cast<std::size_t>(frame + 0.5);
}

bool parseWav(const unsigned char* bytes, std::size_t size, Audio& audio, std::string& error) {
  audio = Audio{};
  if (size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0) {
    error = "not a RIFF WAVE file";
    return false;
  }
  int format = 0, channels = 0, bits = 0;
  std::uint32_t rate = 0;
  bool haveFormat = false;
  for (std::size_t at = 12; at + 8 <= size;) {
    const unsigned char* id = bytes + at;
    const std::uint32_t length = readLe(bytes + at + 4, 4);
    const std::size_t body = at + 8;
    if (std::memcmp(id, "fmt ", 4) == 0) {
      if (length < 16 || size - body < 16) {
        error = "the format chunk is too short";
        return false;
      }
      format = static_cast<int>(readLe(bytes + body, 2));
      channels = static_cast<int>(readLe(bytes + body + 2, 2));
      rate = readLe(bytes + body + 4, 4);
      bits = static_cast<int>(readLe(bytes + body + 14, 2));
      // WAVE_FORMAT_EXTENSIBLE (OpenAL Soft's) names the real format in its sub-format.
      if (format == 0xfffe && length >= 26 && size - body >= 26)
        format = static_cast<int>(readLe(bytes + body + 24, 2));
      haveFormat = true;
    } else if (std::memcmp(id, "data", 4) == 0) {
      if (!haveFormat) {
        error = "the samples come before their format";
        return false;
      }
      if (!((format == 1 && bits == 16) || (format == 3 && bits == 32))) {
        error = "only 16-bit PCM and 32-bit float samples are read (format " +
                std::to_string(format) + ", " + std::to_string(bits) + " bits)";
        return false;
      }
      if (channels != 1 && channels != 2) {
        error = "only mono and stereo are read (" + std::to_string(channels) + " channels)";
        return false;
      }
      if (rate < 1000 || rate > 768000) {
        error = "sample rate " + std::to_string(rate) + " Hz is out of range";
        return false;
      }
      const std::size_t bytesPerSample = static_cast<std::size_t>(bits) / 8;
      const std::size_t frameBytes = bytesPerSample * channels;
      const std::size_t frames = std::min<std::size_t>(length, size - body) / frameBytes;
      if (frames == 0) {
        error = "there are no samples";
        return false;
      }
      audio.rate = static_cast<int>(rate);
      audio.channels = channels;
      audio.samples.resize(frames * channels);
      const unsigned char* p = bytes + body;
      for (float& sample : audio.samples) {
        if (bits == 16) {
          sample = static_cast<float>(static_cast<std::int16_t>(readLe(p, 2))) / 32768.0f;
        } else {
          const std::uint32_t word = readLe(p, 4);
          std::memcpy(&sample, &word, 4);
          if (!std::isfinite(sample)) {
            error = "sample " + std::to_string(&sample - audio.samples.data()) + " is not a number";
            audio = Audio{};
            return false;
          }
        }
        p += bytesPerSample;
      }
      return true;
    }
    if (length > size - body) break;
    at = body + length + (length & 1);
  }
  error = haveFormat ? "there is no data chunk" : "there is no format chunk";
  return false;
}

bool readWav(const std::string& path, Audio& audio, std::string& error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = "cannot open " + path;
    return false;
  }
  const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file),
                                         std::istreambuf_iterator<char>()};
  if (file.bad()) {
    error = "cannot read " + path;
    return false;
  }
  return parseWav(bytes.data(), bytes.size(), audio, error);
}

double toDb(double amplitude) {
  return amplitude > 0 ? 20.0 * std::log10(amplitude) : kMinusInfinity;
}

double samplePeakDb(const Audio& audio, double from, double to) {
  const Range range = rangeOf(audio, from, to);
  float peak = 0.0f;
  for (std::size_t i = range.first * audio.channels; i < range.last * audio.channels; ++i)
    peak = std::max(peak, std::abs(audio.samples[i]));
  return toDb(peak);
}

double truePeakDb(const Audio& audio, double from, double to) {
  static const Interpolator taps = makeInterpolator();
  const Range range = rangeOf(audio, from, to);
  const auto frames = static_cast<std::ptrdiff_t>(audio.frames());
  double peak = 0.0;
  for (int c = 0; c < audio.channels; ++c) {
    // Samples outside the audio count as silence; those outside the range still shape it.
    const auto at = [&](std::ptrdiff_t i) {
      return i >= 0 && i < frames ? audio.samples[i * audio.channels + c] : 0.0f;
    };
    for (auto n = static_cast<std::ptrdiff_t>(range.first);
         n < static_cast<std::ptrdiff_t>(range.last); ++n) {
      peak = std::max(peak, std::abs(static_cast<double>(at(n))));
      for (int phase = 1; phase < kPhases; ++phase) {
        double y = 0.0;
        for (int j = 0; j < kTaps; ++j)
          y += taps[phase][j] * at(n + j - (kTaps / 2 - 1));
        peak = std::max(peak, std::abs(y));
      }
    }
  }
  return toDb(peak);
}

std::array<Biquad, 2> kWeighting(int rate) {
  // The head's shelf: +4 dB above about 1.7 kHz.
  const double shelfHz = 1681.974450955533, gainDb = 3.999843853973347, shelfQ = 0.7071752369554196;
  // The low cut: second order at 38 Hz.
  const double cutHz = 38.13547087602444, cutQ = 0.5003270373238773;
  const double pi = std::numbers::pi;

  double k = std::tan(pi * shelfHz / rate);
  const double vh = std::pow(10.0, gainDb / 20.0), vb = std::pow(vh, 0.4996667741545416);
  double a0 = 1.0 + k / shelfQ + k * k;
  const Biquad shelf{(vh + vb * k / shelfQ + k * k) / a0, 2.0 * (k * k - vh) / a0,
                     (vh - vb * k / shelfQ + k * k) / a0, 2.0 * (k * k - 1.0) / a0,
                     (1.0 - k / shelfQ + k * k) / a0};
  k = std::tan(pi * cutHz / rate);
  a0 = 1.0 + k / cutQ + k * k;
  const Biquad cut{1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / cutQ + k * k) / a0};
  return {shelf, cut};
}

Loudness measureLoudness(const Audio& audio, double from, double to) {
  Loudness result;
  const Range range = rangeOf(audio, from, to);
  // Sums of the K-weighted squares in 100 ms segments, all channels together (each weighs 1).
  std::vector<std::size_t> edges{0};
  while (true) {
    const auto end = static_cast<std::size_t>(
        std::llround(static_cast<double>(edges.size()) * audio.rate / 10.0));
    if (end > range.size()) break;
    edges.push_back(end);
  }
  const std::size_t segments = edges.size() - 1;
  std::vector<double> energy(segments, 0.0);
  const auto weights = kWeighting(audio.rate);
  for (int c = 0; c < audio.channels; ++c) {
    Filter shelf(weights[0]), cut(weights[1]);
    for (std::size_t s = 0; s < segments; ++s)
      for (std::size_t i = edges[s]; i < edges[s + 1]; ++i) {
        const double y = cut(shelf(audio.samples[(range.first + i) * audio.channels + c]));
        energy[s] += y * y;
      }
  }
  // Mean square of the window of `count` segments starting at segment s, as LUFS and power.
  const auto power = [&](std::size_t s, std::size_t count) {
    double sum = 0.0;
    for (std::size_t i = s; i < s + count; ++i)
      sum += energy[i];
    return sum / static_cast<double>(edges[s + count] - edges[s]);
  };
  const auto lufs = [](double p) { return -0.691 + powerDb(p); };

  std::vector<double> blockPower;
  for (std::size_t s = 0; s + 4 <= segments; ++s) {
    blockPower.push_back(power(s, 4));
    result.momentary.push_back(lufs(blockPower.back()));
    result.maxMomentary = std::max(result.maxMomentary, result.momentary.back());
  }
  for (std::size_t s = 0; s + 30 <= segments; ++s) {
    result.shortTerm.push_back(lufs(power(s, 30)));
    result.maxShortTerm = std::max(result.maxShortTerm, result.shortTerm.back());
  }
  // The gates: blocks above -70 LUFS, then those within 10 LU of their mean loudness.
  const auto gatedMean = [&](double gate) {
    double sum = 0.0;
    int count = 0;
    for (const double p : blockPower)
      if (lufs(p) > gate) sum += p, ++count;
    return count > 0 ? sum / count : 0.0;
  };
  const double relativeGate = lufs(gatedMean(-70.0)) - 10.0;
  if (std::isfinite(relativeGate)) result.integrated = lufs(gatedMean(relativeGate));
  return result;
}

Step largestStep(const Audio& audio, double from, double to) {
  Step step;
  const Range range = rangeOf(audio, from, to);
  for (std::size_t n = range.first + 1; n < range.last; ++n)
    for (int c = 0; c < audio.channels; ++c) {
      const double size = std::abs(static_cast<double>(audio.samples[n * audio.channels + c]) -
                                   audio.samples[(n - 1) * audio.channels + c]);
      if (size > step.size) step = {size, 0.0, static_cast<double>(n) / audio.rate, c};
    }
  step.db = toDb(step.size);
  return step;
}

Audio highPassed(const Audio& audio, double cornerHz) {
  Audio out = audio;
  const double w = 2 * std::numbers::pi * cornerHz / audio.rate, cosW = std::cos(w);
  // A 4th-order Butterworth is two 2nd-order sections with these Qs.
  for (const double q : {0.5411961001461969, 1.3065629648763764}) {
    const double alpha = std::sin(w) / (2 * q), a0 = 1 + alpha;
    const Biquad section{(1 + cosW) / 2 / a0, -(1 + cosW) / a0, (1 + cosW) / 2 / a0, -2 * cosW / a0,
                         (1 - alpha) / a0};
    for (int c = 0; c < audio.channels; ++c) {
      Filter filter(section);
      for (std::size_t i = c; i < out.samples.size(); i += audio.channels)
        out.samples[i] = static_cast<float>(filter(out.samples[i]));
    }
  }
  return out;
}

double bandCentreHz(int band) {
  return 1000.0 * std::pow(10.0, (band - 16) / 10.0);
}

std::vector<double> bandLevelsDb(const Audio& audio, double from, double to) {
  const Spectrum spectrum = spectrumOf(audio, from, to);
  std::vector<double> levels(kBandCount);
  for (int band = 0; band < kBandCount; ++band) {
    const double centre = bandCentreHz(band), half = std::pow(10.0, 0.05);
    levels[band] = powerDb(spectrum.sum(centre / half, centre * half));
  }
  return levels;
}

double bandLevelDb(const Audio& audio, double from, double to, double loHz, double hiHz) {
  return powerDb(spectrumOf(audio, from, to).sum(loHz, hiHz));
}

double spectralDistanceDb(const std::vector<double>& a, const std::vector<double>& b) {
  const auto shape = [](std::vector<double> levels) {
    double total = 0.0, strongest = kMinusInfinity;
    for (const double level : levels) {
      total += std::pow(10.0, level / 10.0);
      strongest = std::max(strongest, level);
    }
    // A silent spectrum has no shape: flat at the floor.
    const double offset = total > 0 ? powerDb(total) : 0.0;
    for (double& level : levels)
      level = std::max(level, strongest - 60.0) - offset;
    if (!(total > 0)) std::fill(levels.begin(), levels.end(), 0.0);
    return levels;
  };
  const std::vector<double> x = shape(a), y = shape(b);
  const std::size_t n = std::min(x.size(), y.size());
  double sum = 0.0;
  for (std::size_t i = 0; i < n; ++i)
    sum += (x[i] - y[i]) * (x[i] - y[i]);
  return n > 0 ? std::sqrt(sum / n) : 0.0;
}

}  // namespace tools
