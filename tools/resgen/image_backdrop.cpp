// The desert backdrop: dunes below a warm evening sky, distant mesas on the horizon.
//
// The picture is painted in the coordinates of the quad it is shown on (x from -8 at the
// screen's left to 8, y from 8 at the top to -4), and is stored top row first because the
// quad's texture coordinates put the file's last row at the bottom of the screen. Only about
// x -6..6, y -3.4..7 is seen. The tank stands in front of y = -2.3 and the aircraft cross in
// front of y = 4..6.3, so the sand and the sky there are kept smooth and mid-bright.
#include <algorithm>
#include <cmath>

#include "image_parts.h"

namespace resgen {

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 512;
constexpr float kHorizon = 1.35f;
constexpr float kPixelY = 12.0f / kHeight;  // quad units per texel row
constexpr float kPi = 3.14159265f;

Rgb skyColour(float x, float y) {
  // Pale gold at the horizon, warm apricot higher up, a dusty blue at the very top.
  const float t = std::max(0.0f, (y - kHorizon) / (7.5f - kHorizon));
  Rgb sky = mix(hex(0xfae4ba), hex(0xf1c997), smoothstep(0.0f, 0.45f, t));
  sky = mix(sky, hex(0xa9b8c6), smoothstep(0.4f, 1.0f, t) * 0.85f);
  // A low sun to the left: a soft glow and a pale disc.
  const float dx = x + 3.6f;
  const float dy = (y - 2.6f) * 1.1f;
  const float d = std::sqrt(dx * dx + dy * dy);
  sky = mix(sky, hex(0xfff3d2), 0.55f * std::exp(-d * d / 3.0f));
  sky = mix(sky, hex(0xfffaea), smoothstep(0.62f, 0.56f, d));
  // Thin streaks of high cloud, stretched sideways.
  const float streak = fractalNoise(x * 0.35f + 40, y * 3.2f, 71, 4);
  const float cloud = smoothstep(0.56f, 0.78f, streak) * smoothstep(kHorizon + 1.0f, 4.0f, y);
  sky = mix(sky, hex(0xfff0dc), cloud * 0.45f);
  return sky;
}

// Height of the far mesas above the horizon line at x: flat tops with steep sides.
float mesaTop(float x) {
  const float shape = fractalNoise(x * 0.32f + 11, 3.5f, 23, 3);
  const float butte =
      smoothstep(0.52f, 0.58f, shape) * (0.55f + 0.35f * valueNoise(x * 0.2f, 9, 5));
  const float hills = 0.12f + 0.18f * fractalNoise(x * 0.9f, 1.5f, 29, 3);
  return kHorizon + std::max(butte, hills);
}

// The crest line of the first dune ridge in front of the horizon.
float duneCrest(float x) {
  return kHorizon - 0.05f + 0.35f * fractalNoise(x * 0.28f + 3, 7.5f, 37, 3) - 0.12f;
}

// Height field of the foreground sand: long dune ridges lying across the view, their crests
// wandering a little, with a gentle swell over them.
float sandHeight(float x, float y) {
  const float wander = 0.9f * fractalNoise(x * 0.12f + 100, y * 0.3f, 53, 2);
  const float ridges = std::sin(2 * kPi * (y * 0.42f + wander));
  return 0.5f * ridges + 0.6f * fractalNoise(x * 0.1f, y * 0.35f, 59, 2);
}

Rgb sandColour(float x, float y) {
  const float depth = clamp01((kHorizon - y) / (kHorizon + 4.0f));  // 0 far, 1 near
  Rgb sand = mix(hex(0xebc790), hex(0xcf9f62), depth);
  // Light from the low sun on the left and above: slopes facing it are brighter.
  const float e = 0.05f;
  const float slope = (sandHeight(x - e, y) - sandHeight(x + e, y)) / (2 * e) +
                      (sandHeight(x, y + e) - sandHeight(x, y - e)) / (2 * e);
  sand = sand * (1.0f + std::clamp(slope * 0.12f, -0.1f, 0.08f));
  // Wind ripples, wider apart nearer the viewer and fading out towards the horizon.
  const float spacing = 0.2f + 0.06f * (kHorizon - y);
  const float wobble = 0.5f * fractalNoise(x * 0.35f, y * 0.4f, 61, 2);
  const float ripple = std::sin(2 * kPi * (y / spacing + wobble + 0.08f * x));
  sand = sand * (1.0f + 0.03f * ripple * smoothstep(0.0f, 1.5f, kHorizon - y));
  // Faint broad patches of coarser sand.
  sand = mix(sand, hex(0xbf935c),
             0.12f * smoothstep(0.5f, 0.7f, fractalNoise(x * 0.25f, y * 0.5f, 67, 2)));
  return sand;
}

}  // namespace

std::vector<NamedImage> backdropImages() {
  Canvas picture(kWidth, kHeight);
  for (int row = 0; row < kHeight; ++row) {
    const float y = 8.0f - (static_cast<float>(row) + 0.5f) * kPixelY;
    for (int col = 0; col < kWidth; ++col) {
      const float x = -8.0f + (static_cast<float>(col) + 0.5f) * 16.0f / kWidth;
      Rgb colour = skyColour(x, y);
      // Mesas, hazy with distance, lighter at their foot where the haze is thickest.
      const float mesa = clamp01((mesaTop(x) - y) / kPixelY + 0.5f);
      const Rgb mesaColour =
          mix(hex(0xc79a82), hex(0xe2bc9c), smoothstep(kHorizon + 0.6f, kHorizon, y));
      colour = mix(colour, mesaColour, mesa);
      const float ground = clamp01((duneCrest(x) - y) / kPixelY + 0.5f);
      colour = mix(colour, sandColour(x, y), ground);
      picture.at(col, row) = colour;
    }
  }
  std::vector<NamedImage> out;
  out.push_back({"desert05.bmp", std::move(picture), RowOrder::kTopFirst});
  return out;
}

}  // namespace resgen
