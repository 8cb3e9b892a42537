// The game's sounds, synthesised from code and fixed seeds into 16-bit mono WAV files.
//
// Every sound is built from a few pieces: noise through simple filters, decaying sines and
// sweeps, and envelopes. Each is scaled to the same peak; the game balances them by gain.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "image_canvas.h"
#include "resgen.h"

namespace resgen {

namespace {

// Samples per second: the rate most devices mix at, so the mixer adds no resampling images of
// its own above the sounds.
constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;
constexpr double kPeak = 0.89;  // about -1 dBFS

using Samples = std::vector<double>;

Samples silence(double seconds) {
  return Samples(static_cast<std::size_t>(seconds * kRate), 0.0);
}

double timeOf(std::size_t i) {
  return static_cast<double>(i) / kRate;
}

// White noise in -1..1 from a fixed seed.
Samples noise(double seconds, std::uint32_t seed) {
  Samples out = silence(seconds);
  Rng rng(seed);
  for (double& s : out)
    s = rng.uniform() * 2.0 - 1.0;
  return out;
}

// One-pole low-pass whose cut-off (Hz) may change along the sound.
template <typename Cutoff>
Samples lowPassSweep(const Samples& in, Cutoff cutoff) {
  Samples out(in.size());
  double y = 0.0;
  for (std::size_t i = 0; i < in.size(); ++i) {
    const double a = 1.0 - std::exp(-2.0 * kPi * cutoff(timeOf(i)) / kRate);
    y += a * (in[i] - y);
    out[i] = y;
  }
  return out;
}

Samples lowPass(const Samples& in, double hz) {
  return lowPassSweep(in, [hz](double) { return hz; });
}

Samples highPass(const Samples& in, double hz) {
  const Samples low = lowPass(in, hz);
  Samples out(in.size());
  for (std::size_t i = 0; i < in.size(); ++i)
    out[i] = in[i] - low[i];
  return out;
}

// Two-pole resonant band-pass (constant peak gain) around centre Hz with quality q.
Samples bandPass(const Samples& in, double centre, double q) {
  const double w = 2.0 * kPi * centre / kRate;
  const double alpha = std::sin(w) / (2.0 * q);
  const double a0 = 1.0 + alpha;
  const double b0 = alpha / a0, b2 = -alpha / a0;
  const double a1 = -2.0 * std::cos(w) / a0, a2 = (1.0 - alpha) / a0;
  Samples out(in.size());
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  for (std::size_t i = 0; i < in.size(); ++i) {
    const double y = b0 * in[i] + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = in[i];
    y2 = y1;
    y1 = y;
    out[i] = y;
  }
  return out;
}

// An envelope: a linear rise over attack seconds, then exponential decay with time constant tau.
double hit(double t, double attack, double tau) {
  if (t < 0) return 0.0;
  if (t < attack) return t / attack;
  return std::exp(-(t - attack) / tau);
}

// A sine whose frequency glides exponentially from f0 to f1 (Hz) with time constant glide.
Samples sweep(double seconds, double f0, double f1, double glide) {
  Samples out = silence(seconds);
  double phase = 0.0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double f = f1 + (f0 - f1) * std::exp(-timeOf(i) / glide);
    phase += 2.0 * kPi * f / kRate;
    out[i] = std::sin(phase);
  }
  return out;
}

// Adds in, scaled, into out from offset seconds on (out grows if needed).
void mixInto(Samples& out, const Samples& in, double gain, double offset = 0.0) {
  const auto start = static_cast<std::size_t>(offset * kRate);
  if (out.size() < start + in.size()) out.resize(start + in.size(), 0.0);
  for (std::size_t i = 0; i < in.size(); ++i)
    out[start + i] += gain * in[i];
}

template <typename Envelope>
Samples shaped(Samples in, Envelope envelope) {
  for (std::size_t i = 0; i < in.size(); ++i)
    in[i] *= envelope(timeOf(i));
  return in;
}

// Scales to the common peak and fades the last 10 ms so no sound ends in a click. A drive
// first rounds the loudest moments off (tanh), so a percussive sound is louder for its peak:
// the mix then has room for several at once.
Samples finish(Samples s, double drive = 0.0) {
  double peak = 0.0;
  for (double v : s)
    peak = std::max(peak, std::fabs(v));
  if (drive > 0.0 && peak > 0.0) {
    for (double& v : s)
      v = std::tanh(drive * v / peak) / std::tanh(drive);
    peak = 1.0;
  }
  const double scale = peak > 0 ? kPeak / peak : 0.0;
  const std::size_t fade = std::min<std::size_t>(s.size(), kRate / 100);
  for (std::size_t i = 0; i < s.size(); ++i) {
    const std::size_t left = s.size() - i;
    const double tail = left < fade ? static_cast<double>(left) / fade : 1.0;
    s[i] *= scale * tail;
  }
  return s;
}

// The light guns: one short crack per burst, a bright snap over a small thump. Held down the
// bursts follow every four frames, so the crack must be over before the next one.
Samples guns() {
  Samples out = silence(0.07);
  mixInto(
      out,
      shaped(bandPass(noise(0.06, 101), 2600, 0.9), [](double t) { return hit(t, 0.0008, 0.009); }),
      1.6);
  mixInto(out, shaped(sweep(0.06, 260, 110, 0.02), [](double t) { return hit(t, 0.001, 0.014); }),
          0.55);
  return finish(highPass(out, 60), 1.5);
}

// The player's cannon: a hard, bright report with the barrel's ring over a deep falling body.
// The report and the ring carry it on small speakers, where its body is lost, and keep it
// apart from the enemy's bombs.
Samples cannon() {
  Samples out = silence(1.0);
  mixInto(out,
          shaped(highPass(noise(0.04, 201), 700), [](double t) { return hit(t, 0.0003, 0.006); }),
          1.6);
  mixInto(
      out,
      shaped(bandPass(noise(0.3, 203), 1500, 1.2), [](double t) { return hit(t, 0.001, 0.035); }),
      2.2);
  // The ring: a few inharmonic partials of the steel, short and high.
  const double partials[][3] = {{820, 0.35, 0.08}, {1370, 0.25, 0.06}, {2210, 0.15, 0.04}};
  for (const auto& [hz, level, tau] : partials) {
    Samples tone = silence(0.5);
    for (std::size_t i = 0; i < tone.size(); ++i)
      tone[i] = std::sin(2 * kPi * hz * timeOf(i)) * hit(timeOf(i), 0.001, tau);
    mixInto(out, tone, level);
  }
  Samples body = silence(1.0);
  double phase = 0.0;
  for (std::size_t i = 0; i < body.size(); ++i) {
    const double t = timeOf(i);
    phase += 2.0 * kPi * (45 + 95 * std::exp(-t / 0.1)) / kRate;
    // The second and third harmonics let the body be heard where the fundamental is not.
    body[i] = (std::sin(phase) + 0.45 * std::sin(2 * phase) + 0.25 * std::sin(3 * phase)) *
              hit(t, 0.002, 0.18);
  }
  mixInto(out, body, 0.9);
  const Samples rumble =
      lowPassSweep(noise(1.0, 202), [](double t) { return 1400 * std::exp(-t / 0.08) + 180; });
  mixInto(out, shaped(rumble, [](double t) { return hit(t, 0.003, 0.22); }), 1.4);
  return finish(out, 2.0);
}

// The shell strikes metal: a clang of inharmonic partials over a short crunch.
Samples impact() {
  Samples out = silence(0.4);
  const double partials[][3] = {
      {523, 1.0, 0.09}, {1307, 0.6, 0.06}, {2170, 0.45, 0.04}, {3410, 0.3, 0.025}};
  for (const auto& [hz, level, tau] : partials) {
    Samples tone = silence(0.4);
    for (std::size_t i = 0; i < tone.size(); ++i)
      tone[i] = std::sin(2 * kPi * hz * timeOf(i)) * hit(timeOf(i), 0.001, tau);
    mixInto(out, tone, level);
  }
  mixInto(
      out,
      shaped(bandPass(noise(0.1, 301), 1800, 0.7), [](double t) { return hit(t, 0.0005, 0.02); }),
      1.8);
  return finish(out, 1.5);
}

// An aircraft goes down: a tearing crunch and the engine's whine falling away, dead quiet
// before the file ends.
Samples shotDown() {
  Samples out = silence(1.6);
  Samples whine = silence(1.6);
  double phase = 0.0;
  for (std::size_t i = 0; i < whine.size(); ++i) {
    const double t = timeOf(i);
    const double f = 180 + 620 * std::exp(-t / 0.45);
    phase += 2 * kPi * f / kRate;
    // A few harmonics make it a rough engine rather than a pure tone.
    const double wave = std::sin(phase) + 0.5 * std::sin(2 * phase) + 0.3 * std::sin(3 * phase);
    const double fadeAway = std::clamp((1.5 - t) / 0.5, 0.0, 1.0);
    whine[i] = wave * (0.75 + 0.25 * std::sin(2 * kPi * 17 * t)) * hit(t, 0.03, 0.3) * fadeAway;
  }
  mixInto(out, whine, 0.5);
  mixInto(out,
          shaped(bandPass(noise(0.3, 401), 900, 0.6), [](double t) { return hit(t, 0.002, 0.06); }),
          2.0);
  return finish(out);
}

// A bomb comes loose: the rack's click, a clunk, and the start of its whistle as it falls
// away, pitched above the guns' crack so it is heard while they are held.
Samples release() {
  Samples out = silence(0.45);
  mixInto(
      out,
      shaped(bandPass(noise(0.02, 501), 3200, 2.0), [](double t) { return hit(t, 0.0003, 0.003); }),
      1.0);
  mixInto(
      out,
      shaped(bandPass(noise(0.02, 502), 2400, 2.0), [](double t) { return hit(t, 0.0003, 0.004); }),
      0.8, 0.035);
  mixInto(out, shaped(sweep(0.15, 190, 120, 0.05), [](double t) { return hit(t, 0.002, 0.03); }),
          0.6, 0.035);
  Samples whistle = sweep(0.4, 1250, 900, 0.5);
  for (std::size_t i = 0; i < whistle.size(); ++i) {
    const double t = timeOf(i);
    whistle[i] *= std::min(1.0, t / 0.05) * std::clamp((0.4 - t) / 0.15, 0.0, 1.0);
  }
  mixInto(out, whistle, 0.45, 0.04);
  return finish(highPass(out, 80));
}

// A bomb hits the sand: a thud, and the sand and grit it throws up hissing down again.
Samples ground() {
  Samples out = silence(1.1);
  mixInto(out, shaped(sweep(1.1, 75, 34, 0.15), [](double t) { return hit(t, 0.004, 0.3); }), 0.45);
  mixInto(out,
          shaped(bandPass(noise(0.2, 602), 260, 1.5), [](double t) { return hit(t, 0.002, 0.03); }),
          2.0);
  // Grit: a high, grainy hiss whose grains thin out as the sand settles.
  Rng rng(603);
  Samples grains = silence(1.1);
  for (std::size_t i = 0; i < grains.size(); ++i) {
    const double t = timeOf(i);
    if (rng.uniform() < 0.25 * std::exp(-t / 0.35)) grains[i] = rng.uniform() * 2.0 - 1.0;
  }
  mixInto(out, shaped(bandPass(grains, 4200, 0.8), [](double t) { return hit(t, 0.02, 0.3); }),
          6.0);
  const Samples dirt =
      lowPassSweep(noise(1.1, 601), [](double t) { return 900 * std::exp(-t / 0.15) + 150; });
  mixInto(out, shaped(dirt, [](double t) { return hit(t, 0.006, 0.32); }), 1.6);
  return finish(out, 2.0);
}

// An explosion: noise whose brightness falls as it swells and dies, a low body, and crackle in
// the tail. size stretches it; seed varies it.
Samples explosion(double seconds, double size, std::uint32_t seed) {
  Samples out = silence(seconds);
  const Samples roar = lowPassSweep(noise(seconds, seed), [size](double t) {
    return 3500 * std::exp(-t / (0.06 * size)) + 220 / size;
  });
  mixInto(out,
          shaped(roar,
                 [size](double t) {
                   return 0.8 * hit(t, 0.004, 0.09 * size) + 0.35 * hit(t, 0.02, 0.45 * size);
                 }),
          2.4);
  mixInto(out,
          shaped(sweep(seconds, 70 / size, 40, 0.2),
                 [size](double t) { return hit(t, 0.005, 0.25 * size); }),
          0.4);
  // The fireball's roar, a broad band in the middle that swells a little after the blast.
  mixInto(out,
          shaped(bandPass(noise(seconds, seed + 3), 550, 0.7),
                 [size](double t) { return hit(t, 0.03 * size, 0.3 * size); }),
          3.5);
  // Crackle: sparse short clicks thinning out over the tail.
  Rng rng(seed + 7);
  Samples crackle = silence(seconds);
  for (std::size_t i = 0; i < crackle.size(); ++i) {
    const double t = timeOf(i);
    const double perSample = 90.0 / kRate * std::exp(-t / (0.5 * size));  // 90 a second at first
    if (rng.uniform() < perSample) crackle[i] = rng.uniform() - 0.5;
  }
  mixInto(out, lowPass(crackle, 2500), 2.5);
  return finish(out, 2.0);
}

// The tank is destroyed: a long, heavy explosion with its armour ringing.
Samples tankDestroyed() {
  Samples out = explosion(2.0, 1.6, 801);
  const double partials[][3] = {{211, 0.3, 0.5}, {487, 0.2, 0.35}, {1123, 0.12, 0.2}};
  for (const auto& [hz, level, tau] : partials) {
    Samples tone = silence(2.0);
    for (std::size_t i = 0; i < tone.size(); ++i)
      tone[i] = std::sin(2 * kPi * hz * timeOf(i)) * hit(timeOf(i), 0.01, tau);
    mixInto(out, tone, level);
  }
  return finish(out, 1.5);
}

// A new game: a bright rising figure of four notes ending on the octave.
Samples jingle() {
  Samples out = silence(1.0);
  const double notes[][3] = {// Hz, start, length (s)
                             {523.25, 0.0, 0.13},
                             {659.26, 0.12, 0.13},
                             {783.99, 0.24, 0.13},
                             {1046.5, 0.36, 0.55}};
  for (const auto& [hz, start, length] : notes) {
    Samples tone = silence(length);
    for (std::size_t i = 0; i < tone.size(); ++i) {
      const double t = timeOf(i);
      const double phase = 2 * kPi * hz * t;
      // Odd harmonics, softened: a mellow square.
      const double wave = std::sin(phase) + std::sin(3 * phase) / 6 + std::sin(5 * phase) / 15;
      const double release = std::min(1.0, (length - t) / 0.03);
      tone[i] = wave * hit(t, 0.005, length * 0.6) * std::max(0.0, release);
    }
    mixInto(out, tone, 1.0, start);
  }
  return finish(out);
}

// The tank is lost: after the blast has broken, a slow falling figure in a low register.
Samples gameOver() {
  Samples out = silence(0.6);
  const double notes[][3] = {// Hz, start, length (s), after the blast's first half second
                             {392.00, 0.0, 0.3},
                             {311.13, 0.28, 0.3},
                             {261.63, 0.56, 0.9}};
  for (const auto& [hz, start, length] : notes) {
    Samples tone = silence(length);
    for (std::size_t i = 0; i < tone.size(); ++i) {
      const double t = timeOf(i);
      const double phase = 2 * kPi * hz * t;
      const double wave = std::sin(phase) + 0.3 * std::sin(2 * phase) + 0.1 * std::sin(3 * phase);
      const double release = std::min(1.0, (length - t) / 0.08);
      tone[i] = wave * hit(t, 0.02, length * 0.7) * std::max(0.0, release);
    }
    mixInto(out, tone, 1.0, 0.6 + start);
  }
  return finish(out);
}

// The aircraft engine, a one-second loop: a low drone with a propeller's beat. Every tone has
// a whole number of cycles in the loop and the noise is cross-faded over the seam, so it loops
// without a click.
Samples engine() {
  const std::size_t length = kRate;
  const std::size_t fade = kRate / 10;
  const Samples rough = lowPass(noise(1.1, 901), 500);
  Samples out(length);
  for (std::size_t i = 0; i < length; ++i) {
    const double t = timeOf(i);
    const double beat = 0.7 + 0.3 * std::sin(2 * kPi * 24 * t);
    const double drone = std::sin(2 * kPi * 72 * t) + 0.6 * std::sin(2 * kPi * 144 * t) +
                         0.35 * std::sin(2 * kPi * 216 * t) + 0.2 * std::sin(2 * kPi * 288 * t);
    double hiss = rough[i];
    if (i < fade) {
      const double w = static_cast<double>(i) / fade;
      hiss = rough[i] * w + rough[length + i] * (1 - w);
    }
    out[i] = beat * drone + 3.0 * hiss;
  }
  double peak = 0.0;
  for (double v : out)
    peak = std::max(peak, std::fabs(v));
  for (double& v : out)
    v *= kPeak / peak;
  return out;
}

bool writeWav(const std::filesystem::path& path, const Samples& samples) {
  const auto dataSize = static_cast<std::uint32_t>(samples.size() * 2);
  std::string bytes = "RIFF";
  put32(bytes, 36 + dataSize);
  bytes += "WAVEfmt ";
  put32(bytes, 16);
  put16(bytes, 1);  // PCM
  put16(bytes, 1);  // mono
  put32(bytes, kRate);
  put32(bytes, kRate * 2);
  put16(bytes, 2);
  put16(bytes, 16);
  bytes += "data";
  put32(bytes, dataSize);
  for (double v : samples) {
    const long q = std::lround(std::clamp(v, -1.0, 1.0) * 32767.0);
    put16(bytes, static_cast<unsigned>(static_cast<std::uint16_t>(static_cast<std::int16_t>(q))));
  }
  std::ofstream file(path, std::ios::binary);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file) {
    std::fprintf(stderr, "resgen: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

}  // namespace

bool writeSounds(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    std::fprintf(stderr, "resgen: cannot create %s: %s\n", folder.c_str(), error.message().c_str());
    return false;
  }
  const std::pair<const char*, Samples> sounds[] = {
      {"guns.wav", guns()},
      {"cannon.wav", cannon()},
      {"impact.wav", impact()},
      {"shotdown.wav", shotDown()},
      {"release.wav", release()},
      {"ground.wav", ground()},
      {"boom.wav", explosion(1.4, 1.0, 701)},
      {"pop.wav", explosion(0.6, 0.45, 711)},
      {"tank.wav", tankDestroyed()},
      {"jingle.wav", jingle()},
      {"gameover.wav", gameOver()},
      {"engine.wav", engine()},
  };
  bool ok = true;
  for (const auto& [name, samples] : sounds)
    ok = writeWav(folder / name, samples) && ok;
  return ok;
}

}  // namespace resgen
