// The small scene pictures: reticle, muzzle flash, bomb skin and explosion skin.
//
// The reticle and the flash are drawn as masked pairs: the scene is multiplied by the mask and
// the picture added on top. Both are made from one coverage value a per texel, as mask = 1 - a
// and picture = colour * a, which gives soft edges with no fringe.
#include <algorithm>
#include <cmath>

#include "image_parts.h"

namespace resgen {

namespace {

constexpr float kPi = 3.14159265f;

// A picture and its mask from a colour and a coverage per texel (x, y from the top left).
template <typename Shade>
std::pair<Canvas, Canvas> maskedPair(int width, int height, Shade shade) {
  Canvas picture(width, height);
  Canvas mask(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      Rgb colour;
      const float alpha = clamp01(shade(x, y, colour));
      picture.at(x, y) = colour * alpha;
      mask.at(x, y) = Rgb{1 - alpha, 1 - alpha, 1 - alpha};
    }
  }
  return {std::move(picture), std::move(mask)};
}

// Coverage of a band of the given half-width around a distance of 0, with a soft pixel edge.
float band(float distance, float halfWidth) {
  return clamp01(halfWidth + 0.5f - std::abs(distance));
}

// Crosshair: a ring with four ticks and a centre dot, bright green inside a black outline so it
// reads over pale sky and dark tank alike. Shown on about 26 px: strokes are 2.5 texels.
std::pair<Canvas, Canvas> reticle() {
  constexpr int kSize = 32;
  return maskedPair(kSize, kSize, [](int x, int y, Rgb& colour) {
    const float dx = static_cast<float>(x) + 0.5f - kSize / 2.0f;
    const float dy = static_cast<float>(y) + 0.5f - kSize / 2.0f;
    const float r = std::sqrt(dx * dx + dy * dy);
    const auto shape = [&](float grow) {
      float cover = band(r - 9.5f, 1.25f + grow);
      // Ticks on the axes, from inside the ring to near the edge, leaving the centre open.
      const float along = std::max(std::abs(dx), std::abs(dy));
      const float across = std::min(std::abs(dx), std::abs(dy));
      if (along > 6.0f - grow && along < 14.5f + grow)
        cover = std::max(cover, band(across, 1.0f + grow));
      cover = std::max(cover, clamp01(1.5f + grow + 0.5f - r));
      return cover;
    };
    const float core = shape(0);
    const float outline = shape(1.2f);
    const float t = clamp01((9.5f - std::abs(r - 9.5f)) / 9.5f);
    colour = mix(hex(0x9dff6a), hex(0x48f05a), t) * (core / std::max(outline, 1e-6f));
    return outline;
  });
}

// Flame tongue along the texture's t: t = 0 (bottom of the picture) sits at the muzzle, t = 1
// (top) points away from it. Widest and brightest around t = 0.3, then tapering to a point.
std::pair<Canvas, Canvas> muzzleFlash() {
  constexpr int kWidth = 32;
  constexpr int kHeight = 64;
  return maskedPair(kWidth, kHeight, [](int x, int y, Rgb& colour) {
    const float s = (static_cast<float>(x) + 0.5f) / kWidth * 2 - 1;  // -1..1 across
    const float t = 1 - (static_cast<float>(y) + 0.5f) / kHeight;     // 0 at the muzzle
    float halfWidth = t < 0.3f ? 0.55f + 0.4f * std::sin(t / 0.3f * kPi / 2)
                               : 0.95f * std::pow(std::max(0.0f, 1 - (t - 0.3f) / 0.68f), 0.75f);
    // Ragged edges: a few tongues of flame licking outwards.
    halfWidth *= 0.85f + 0.3f * valueNoise(t * 9, s > 0 ? 1.0f : 5.0f, 83);
    const float across = std::abs(s) / std::max(halfWidth, 1e-3f);
    const float alpha = smoothstep(1.0f, 0.55f, across) * smoothstep(0.0f, 0.06f, t);
    const float heat = (1 - across) * (1 - std::abs(t - 0.3f) * 1.1f);
    colour = mix(hex(0xff8a1c), hex(0xffe05a), smoothstep(0.0f, 0.35f, heat));
    colour = mix(colour, hex(0xfffbe8), smoothstep(0.35f, 0.7f, heat));
    return alpha;
  });
}

// Bomb skin round a cylinder: s goes around, t along it from the tail (t = 0, top of the file)
// to the nose. Olive steel with a yellow band near the nose, seams with rivets and a little wear.
// The bomb is lit mostly by its grey emission, which roughly halves these colours on screen.
Canvas bombSkin() {
  constexpr int kSize = 32;
  Canvas skin(kSize, kSize);
  for (int y = 0; y < kSize; ++y) {
    const float t = (static_cast<float>(y) + 0.5f) / kSize;
    for (int x = 0; x < kSize; ++x) {
      const float wear =
          fractalNoise(static_cast<float>(x) / 4, static_cast<float>(y) / 4, 97, 3, 8);
      Rgb colour = mix(hex(0x8c9356), hex(0x6c7242), wear);
      if (t > 0.66f && t < 0.8f) colour = mix(hex(0xf0c030), hex(0xc89a1c), wear);
      if (y == 3 || y == kSize - 4) colour = hex(0x3c3f26);  // seams at the end caps
      if ((y == 2 || y == kSize - 3) && x % 4 == 1) colour = hex(0xc8ccb0);  // rivets
      if (x == 0 || x == kSize / 2) colour = colour * 0.7f;  // welded seams along the length
      skin.at(x, y) = colour;
    }
  }
  return skin;
}

// Explosion skin round a sphere: s around, t from pole to pole. Turbulent fire from dark red
// through orange to white-hot, wrapping seamlessly around.
Canvas explosionSkin() {
  constexpr int kWidth = 256;
  constexpr int kHeight = 128;
  constexpr int kCells = 8;  // noise lattice cells around the sphere
  Canvas skin(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const float u = (static_cast<float>(x) + 0.5f) / kWidth * kCells;
      const float v = (static_cast<float>(y) + 0.5f) / kHeight * kCells / 2;
      // Turbulence: folded octaves give the billowing, sharp-creased look of flame.
      float turbulence = 0;
      float weight = 0.5f;
      float frequency = 1;
      for (int octave = 0; octave < 5; ++octave) {
        const float n = valueNoise(u * frequency, v * frequency, 131 + octave,
                                   kCells * static_cast<int>(frequency));
        turbulence += weight * std::abs(2 * n - 1);
        weight *= 0.5f;
        frequency *= 2;
      }
      const float heat = clamp01(1.15f - 1.6f * turbulence);
      Rgb colour = mix(hex(0x4a0c04), hex(0xc8260a), smoothstep(0.0f, 0.35f, heat));
      colour = mix(colour, hex(0xff7a14), smoothstep(0.3f, 0.6f, heat));
      colour = mix(colour, hex(0xffd23c), smoothstep(0.55f, 0.8f, heat));
      colour = mix(colour, hex(0xfff6c8), smoothstep(0.8f, 0.98f, heat));
      skin.at(x, y) = colour;
    }
  }
  return skin;
}

}  // namespace

std::vector<NamedImage> effectImages() {
  std::vector<NamedImage> out;
  auto [target, targetMask] = reticle();
  out.push_back({"target.bmp", std::move(target)});
  out.push_back({"targetMask.bmp", std::move(targetMask)});
  auto [flash, flashMask] = muzzleFlash();
  out.push_back({"muzzle_flash.bmp", std::move(flash)});
  out.push_back({"muzzle_flash_mask.bmp", std::move(flashMask)});
  // The bomb's rows are stored from t = 0, so the tail end is the file's first row.
  out.push_back({"bomb.bmp", bombSkin(), RowOrder::kTopFirst});
  out.push_back({"explosion.bmp", explosionSkin()});
  return out;
}

}  // namespace resgen
