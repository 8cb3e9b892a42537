// The panel's mute mark: a loudspeaker struck through with a red cross, on the panel's black.
// About 41 x 42 pixels on an 800 x 600 window; drawn at 64 x 64 with 4 x 4 supersampling.
#include <cmath>

#include "image_parts.h"

namespace resgen {

namespace {

constexpr int kSize = 64;
constexpr int kSamples = 4;

// Distance from (x, y) to the segment from (x0, y0) to (x1, y1).
float segmentDistance(float x, float y, float x0, float y0, float x1, float y1) {
  const float dx = x1 - x0, dy = y1 - y0;
  float t = ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy);
  t = t < 0 ? 0 : t > 1 ? 1 : t;
  const float px = x0 + t * dx - x, py = y0 + t * dy - y;
  return std::sqrt(px * px + py * py);
}

// The speaker: a box and a cone opening to the right, in units of 0..1, y down.
bool inSpeaker(float x, float y) {
  if (x >= 0.08f && x <= 0.26f && y >= 0.36f && y <= 0.64f) return true;
  if (x < 0.24f || x > 0.52f) return false;
  const float half = 0.14f + (x - 0.24f) / 0.28f * 0.24f;  // from 0.14 to 0.38
  return std::fabs(y - 0.5f) <= half;
}

bool inCross(float x, float y) {
  constexpr float kHalfWidth = 0.055f;
  return segmentDistance(x, y, 0.62f, 0.34f, 0.92f, 0.66f) <= kHalfWidth ||
         segmentDistance(x, y, 0.62f, 0.66f, 0.92f, 0.34f) <= kHalfWidth;
}

}  // namespace

std::vector<NamedImage> muteImages() {
  const Rgb speaker = hex(0xf2dfb4);  // the panel's label colour
  const Rgb cross = hex(0xff4636);    // the panel's alarm red
  Canvas canvas(kSize, kSize);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      Rgb sum;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const float u = (static_cast<float>(x) + (sx + 0.5f) / kSamples) / kSize;
          const float v = (static_cast<float>(y) + (sy + 0.5f) / kSamples) / kSize;
          if (inCross(u, v)) {
            sum = sum + cross;
          } else if (inSpeaker(u, v)) {
            sum = sum + speaker;
          }
        }
      }
      canvas.at(x, y) = sum * (1.0f / (kSamples * kSamples));
    }
  }
  std::vector<NamedImage> out;
  out.push_back({"mute.bmp", std::move(canvas)});
  return out;
}

}  // namespace resgen
