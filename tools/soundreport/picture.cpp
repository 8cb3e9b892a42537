// The report's picture: a spectrogram on top, loudness and true peak below, on one time axis.
#include "picture.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "image_canvas.h"
#include "image_text.h"
#include "png_writer.h"

namespace soundreport {

namespace {

using resgen::Canvas;
using resgen::Rgb;

constexpr int kWidth = 1200, kLeft = 70, kRight = 20;
constexpr int kTitleHeight = 36;
constexpr int kSpectrumTop = kTitleHeight, kSpectrumHeight = 340;
constexpr int kPlotTop = kSpectrumTop + kSpectrumHeight + 28, kPlotHeight = 240;
constexpr int kHeight = kPlotTop + kPlotHeight + 34;
constexpr int kPlotWidth = kWidth - kLeft - kRight;
constexpr double kLowHz = 40, kHighHz = 16000;
// The spectrogram's colour scale, in dB of power per 5.4 Hz bin (a full-scale sine is about
// -3 dB): the same for every picture so that two can be compared.
constexpr double kFloorDb = -110, kTopDb = -20;
// The loudness plot's scale: 0 at the top down to -60, a grid line every 6 LU.
constexpr double kPlotTopDb = 0, kPlotBottomDb = -60;

const Rgb kBackground = resgen::hex(0x101014), kGrid = resgen::hex(0x3a3a44),
          kText = resgen::hex(0xd8d8e0), kMomentary = resgen::hex(0x5fa8ff),
          kShortTerm = resgen::hex(0xffb040), kTruePeak = resgen::hex(0xff4a5a),
          kTarget = resgen::hex(0x1c2c24);

// Dark blue through red and orange to pale yellow, for 0 (quiet) to 1 (loud).
Rgb heat(double v) {
  static const Rgb stops[] = {resgen::hex(0x000004), resgen::hex(0x2a0b5a), resgen::hex(0x7c1d6f),
                              resgen::hex(0xd1414b), resgen::hex(0xf98e0a), resgen::hex(0xfcffa4)};
  const double x = std::clamp(v, 0.0, 1.0) * (std::size(stops) - 1);
  const auto i = std::min(static_cast<std::size_t>(x), std::size(stops) - 2);
  return resgen::mix(stops[i], stops[i + 1], static_cast<float>(x - i));
}

// Each column: the power spectrum (Hann, 8192 points, channels averaged) of the moment it
// stands for, read out per pixel row on the log-frequency axis.
void drawSpectrogram(Canvas& canvas, const tools::Audio& audio) {
  constexpr std::size_t n = 8192;
  std::vector<double> window(n);
  double energy = 0;
  for (std::size_t i = 0; i < n; ++i) {
    window[i] = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / n);
    energy += window[i] * window[i];
  }
  const double binHz = static_cast<double>(audio.rate) / n;
  std::vector<std::complex<double>> buffer(n);
  std::vector<double> power(n / 2 + 1);
  const auto frames = static_cast<std::ptrdiff_t>(audio.frames());
  for (int column = 0; column < kPlotWidth; ++column) {
    const double t = audio.seconds() * (column + 0.5) / kPlotWidth;
    const auto centre = static_cast<std::ptrdiff_t>(t * audio.rate);
    std::fill(power.begin(), power.end(), 0.0);
    for (int c = 0; c < audio.channels; ++c) {
      for (std::size_t i = 0; i < n; ++i) {
        const std::ptrdiff_t at = centre - static_cast<std::ptrdiff_t>(n / 2 - i);
        buffer[i] =
            at >= 0 && at < frames ? audio.samples[at * audio.channels + c] * window[i] : 0.0;
      }
      tools::fft(buffer);
      for (std::size_t k = 0; k <= n / 2; ++k)
        power[k] += 2 * std::norm(buffer[k]) / (n * energy * audio.channels);
    }
    for (int row = 0; row < kSpectrumHeight; ++row) {
      // The row's span of frequencies, bottom row lowest; the mean bin power inside it, or the
      // nearest bin where the span is narrower than a bin.
      const auto hzAt = [](double r) {
        return kLowHz * std::pow(kHighHz / kLowHz, r / kSpectrumHeight);
      };
      const double lo = hzAt(kSpectrumHeight - 1 - row), hi = hzAt(kSpectrumHeight - row);
      auto first = static_cast<std::size_t>(std::ceil(lo / binHz));
      auto last = static_cast<std::size_t>(std::ceil(hi / binHz));
      if (last <= first) last = (first = static_cast<std::size_t>(std::lround(lo / binHz))) + 1;
      double sum = 0;
      for (std::size_t k = first; k < last && k < power.size(); ++k)
        sum += power[k];
      const double db = 10 * std::log10(sum / static_cast<double>(last - first) + 1e-30);
      canvas.at(kLeft + column, kSpectrumTop + row) = heat((db - kFloorDb) / (kTopDb - kFloorDb));
    }
  }
}

int plotY(double db) {
  const double v = (kPlotTopDb - db) / (kPlotTopDb - kPlotBottomDb);
  return kPlotTop + static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * (kPlotHeight - 1)));
}

int plotX(double seconds, double duration) {
  return kLeft + static_cast<int>(std::lround(seconds / duration * (kPlotWidth - 1)));
}

void drawLine(Canvas& canvas, double x0, double y0, double x1, double y1, Rgb colour) {
  const int steps = static_cast<int>(std::max(std::abs(x1 - x0), std::abs(y1 - y0)) * 2) + 1;
  for (int i = 0; i <= steps; ++i) {
    const double f = static_cast<double>(i) / steps;
    canvas.blend(static_cast<int>(std::lround(x0 + (x1 - x0) * f)),
                 static_cast<int>(std::lround(y0 + (y1 - y0) * f)), colour, 0.9f);
  }
}

// A series of one value every 100 ms, the first at `start` seconds; minus infinity breaks it.
void drawSeries(Canvas& canvas, const std::vector<double>& values, double start, double duration,
                Rgb colour) {
  for (std::size_t i = 1; i < values.size(); ++i) {
    if (!std::isfinite(values[i - 1]) || !std::isfinite(values[i])) continue;
    drawLine(canvas, plotX(start + 0.1 * (i - 1), duration), plotY(values[i - 1]),
             plotX(start + 0.1 * i, duration), plotY(values[i]), colour);
  }
}

// Text with its left end (or right end, alignRight) at x and its baseline at y.
void label(Canvas& canvas, const resgen::Font& font, const std::string& text, int x, int y,
           Rgb colour, int size = 13, bool alignRight = false) {
  if (!font.ok()) return;
  const int width = font.measure(text, size) + 2, height = size * 2;
  resgen::Mask mask(width, height);
  font.draw(mask, text, size, 1, size + size / 2);
  resgen::paint(canvas, mask, alignRight ? x - width : x, y - size - size / 2, colour);
}

}  // namespace

bool writeReportPng(const std::string& path, const tools::Audio& audio, const std::string& title) {
  Canvas canvas(kWidth, kHeight, kBackground);
  const resgen::Font font(resgen::kRegularFont);
  const double duration = std::max(audio.seconds(), 0.1);

  drawSpectrogram(canvas, audio);
  for (const double hz : {50.0, 100.0, 200.0, 500.0, 1000.0, 2000.0, 5000.0, 10000.0}) {
    const int y = kSpectrumTop + kSpectrumHeight - 1 -
                  static_cast<int>(std::lround(std::log(hz / kLowHz) / std::log(kHighHz / kLowHz) *
                                               kSpectrumHeight));
    canvas.fillRect(kLeft - 6, y, kLeft, y + 1, kText);
    char text[16];
    std::snprintf(text, sizeof text, hz >= 1000 ? "%.0fk" : "%.0f", hz >= 1000 ? hz / 1000 : hz);
    label(canvas, font, text, kLeft - 8, y + 5, kText, 12, true);
  }
  label(canvas, font, "Hz", 8, kSpectrumTop + 14, kText, 12);

  // The loudness plot: the grid every 6 LU, the -20 to -16 LUFS band of play shaded.
  canvas.fillRect(kLeft, plotY(-16), kLeft + kPlotWidth, plotY(-20), kTarget);
  for (double db = kPlotTopDb; db >= kPlotBottomDb; db -= 6) {
    canvas.fillRect(kLeft, plotY(db), kLeft + kPlotWidth, plotY(db) + 1, kGrid);
    char text[16];
    std::snprintf(text, sizeof text, "%.0f", db);
    label(canvas, font, text, kLeft - 8, plotY(db) + 5, kText, 12, true);
  }
  label(canvas, font, "LUFS", 8, kPlotTop + 14, kText, 12);
  label(canvas, font, "dBTP", 8, kPlotTop + 30, kTruePeak, 12);
  const tools::Loudness loudness = tools::measureLoudness(audio);
  std::vector<double> peaks;
  for (double t = 0; t < audio.seconds(); t += 0.1)
    peaks.push_back(tools::truePeakDb(audio, t, t + 0.1));
  drawSeries(canvas, peaks, 0.05, duration, kTruePeak);
  drawSeries(canvas, loudness.momentary, 0.4, duration, kMomentary);
  drawSeries(canvas, loudness.shortTerm, 3.0, duration, kShortTerm);

  // Time along the bottom, a tick every 10 s (every second for a short recording).
  const double every = duration > 20 ? 10 : 1;
  for (double t = 0; t <= duration + 1e-9; t += every) {
    const int x = plotX(t, duration);
    canvas.fillRect(x, kPlotTop + kPlotHeight, x + 1, kPlotTop + kPlotHeight + 6, kText);
    char text[16];
    std::snprintf(text, sizeof text, "%.0f s", t);
    label(canvas, font, text, x - 10, kPlotTop + kPlotHeight + 22, kText, 12);
  }

  label(canvas, font, title, kLeft, 24, kText, 16);
  char figures[160];
  std::snprintf(figures, sizeof figures,
                "integrated %.1f LUFS   max momentary %.1f LUFS   true peak %.1f dBTP",
                loudness.integrated, loudness.maxMomentary, tools::truePeakDb(audio));
  label(canvas, font, figures, kWidth - kRight, 24, kText, 13, true);
  const std::pair<const char*, Rgb> legend[] = {
      {"momentary", kMomentary}, {"short-term", kShortTerm}, {"true peak / 100 ms", kTruePeak}};
  int x = kLeft + 8;
  for (const auto& [name, colour] : legend) {
    canvas.fillRect(x, kPlotTop - 13, x + 16, kPlotTop - 10, colour);
    label(canvas, font, name, x + 20, kPlotTop - 7, kText, 12);
    x += 40 + (font.ok() ? font.measure(name, 12) : 80);
  }

  std::vector<unsigned char> rgb;
  rgb.reserve(static_cast<std::size_t>(kWidth) * kHeight * 3);
  for (int y = 0; y < kHeight; ++y)
    for (int px = 0; px < kWidth; ++px) {
      const Rgb& c = canvas.at(px, y);
      for (const float v : {c.r, c.g, c.b})
        rgb.push_back(static_cast<unsigned char>(std::lround(resgen::clamp01(v) * 255)));
    }
  return tools::writePng(path, kWidth, kHeight, 3, rgb);
}

}  // namespace soundreport
