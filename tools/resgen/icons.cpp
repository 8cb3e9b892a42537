// The application icon at the usual hicolor sizes: the tank firing up at a bomber, on a desert
// badge. Drawn with 4 x 4 supersampling at every size so small icons stay crisp.
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "image_canvas.h"
#include "png_writer.h"
#include "resgen.h"

namespace resgen {

namespace {

// A shape in icon units: x right, y down, both 0..1.
using Shape = std::function<bool(float x, float y)>;

struct Layer {
  Shape shape;
  std::function<Rgb(float x, float y)> colour;
};

bool inDisc(float x, float y, float cx, float cy, float r) {
  return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

bool inEllipse(float x, float y, float cx, float cy, float rx, float ry) {
  const float dx = (x - cx) / rx, dy = (y - cy) / ry;
  return dx * dx + dy * dy <= 1.0f;
}

// Convex polygon given counter-clockwise or clockwise; inside when on one side of every edge.
bool inPolygon(float x, float y, const std::vector<std::pair<float, float>>& corners) {
  bool positive = false, negative = false;
  for (std::size_t i = 0; i < corners.size(); ++i) {
    const auto [x0, y0] = corners[i];
    const auto [x1, y1] = corners[(i + 1) % corners.size()];
    const float side = (x1 - x0) * (y - y0) - (y1 - y0) * (x - x0);
    positive |= side > 0;
    negative |= side < 0;
  }
  return !(positive && negative);
}

// A bar of the given half-width from (x0, y0) to (x1, y1).
bool inBar(float x, float y, float x0, float y0, float x1, float y1, float halfWidth) {
  const float dx = x1 - x0, dy = y1 - y0;
  const float t = ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy);
  if (t < 0 || t > 1) return false;
  const float px = x0 + t * dx - x, py = y0 + t * dy - y;
  return px * px + py * py <= halfWidth * halfWidth;
}

Rgb flat(std::uint32_t rgb, float, float) {
  return hex(rgb);
}

std::vector<Layer> iconLayers() {
  using namespace std::placeholders;
  const float horizon = 0.64f;
  std::vector<Layer> layers;
  // Badge: evening sky over sand.
  layers.push_back({[](float x, float y) { return inDisc(x, y, 0.5f, 0.5f, 0.48f); },
                    [horizon](float, float y) {
                      if (y < horizon) return mix(hex(0x3a6ea8), hex(0xf2b36b), y / horizon);
                      return mix(hex(0xe0b56e), hex(0xb8874a), (y - horizon) / (1 - horizon));
                    }});
  // Aircraft, flying left, high on the right.
  const Rgb plane = hex(0x4d5b4c);
  layers.push_back(
      {[](float x, float y) {
         return inEllipse(x, y, 0.64f, 0.26f, 0.2f, 0.045f) ||
                inPolygon(x, y, {{0.6f, 0.26f}, {0.72f, 0.26f}, {0.76f, 0.37f}, {0.7f, 0.37f}}) ||
                inPolygon(x, y, {{0.78f, 0.25f}, {0.84f, 0.25f}, {0.88f, 0.13f}, {0.83f, 0.13f}});
       },
       [plane](float, float) { return plane; }});
  // Bomb falling from it.
  layers.push_back({[](float x, float y) { return inEllipse(x, y, 0.47f, 0.42f, 0.022f, 0.05f); },
                    std::bind(flat, 0x2b2b2b, _1, _2)});
  // Tracer dashes from the barrel's muzzle towards the aircraft.
  layers.push_back({[](float x, float y) {
                      return inBar(x, y, 0.625f, 0.425f, 0.65f, 0.39f, 0.011f) ||
                             inBar(x, y, 0.67f, 0.36f, 0.695f, 0.325f, 0.011f);
                    },
                    std::bind(flat, 0xffe14a, _1, _2)});
  // Tank: hull with sloped front, dome, barrel, wheels.
  const Rgb hull = hex(0x55603a);
  layers.push_back({[](float x, float y) {
                      return inPolygon(x, y,
                                       {{0.2f, 0.7f},
                                        {0.74f, 0.7f},
                                        {0.8f, 0.78f},
                                        {0.74f, 0.84f},
                                        {0.24f, 0.84f},
                                        {0.16f, 0.78f}}) ||
                             inEllipse(x, y, 0.44f, 0.7f, 0.13f, 0.09f) ||
                             inBar(x, y, 0.46f, 0.66f, 0.6f, 0.46f, 0.022f);
                    },
                    [hull](float, float y) { return hull * (1.15f - 0.4f * (y - 0.6f)); }});
  layers.push_back({[](float x, float y) {
                      for (float cx : {0.27f, 0.39f, 0.51f, 0.63f})
                        if (inDisc(x, y, cx, 0.84f, 0.05f)) return true;
                      return false;
                    },
                    std::bind(flat, 0x262a22, _1, _2)});
  return layers;
}

// Renders the icon at size x size as RGBA rows, top row first.
std::vector<unsigned char> renderIcon(int size) {
  const std::vector<Layer> layers = iconLayers();
  std::vector<unsigned char> rgba(static_cast<std::size_t>(size) * size * 4);
  constexpr int kSamples = 4;
  for (int py = 0; py < size; ++py)
    for (int px = 0; px < size; ++px) {
      Rgb sum{};
      float alpha = 0;
      for (int sy = 0; sy < kSamples; ++sy)
        for (int sx = 0; sx < kSamples; ++sx) {
          const float x = (px + (sx + 0.5f) / kSamples) / size;
          const float y = (py + (sy + 0.5f) / kSamples) / size;
          if (!layers[0].shape(x, y)) continue;  // outside the badge: transparent
          Rgb colour{};
          for (const Layer& layer : layers)
            if (layer.shape(x, y)) colour = layer.colour(x, y);
          sum = sum + colour;
          alpha += 1;
        }
      unsigned char* out = &rgba[(static_cast<std::size_t>(py) * size + px) * 4];
      const float n = alpha > 0 ? alpha : 1;
      out[0] = static_cast<unsigned char>(std::lround(clamp01(sum.r / n) * 255));
      out[1] = static_cast<unsigned char>(std::lround(clamp01(sum.g / n) * 255));
      out[2] = static_cast<unsigned char>(std::lround(clamp01(sum.b / n) * 255));
      out[3] = static_cast<unsigned char>(std::lround(alpha / (kSamples * kSamples) * 255));
    }
  return rgba;
}

}  // namespace

bool writeIcons(const std::filesystem::path& folder) {
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    const std::string dimension = std::to_string(size) + "x" + std::to_string(size);
    const std::filesystem::path dir = folder / "hicolor" / dimension / "apps";
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (!tools::writePng(dir / "brambleshot.png", size, size, 4, renderIcon(size))) return false;
  }
  return true;
}

}  // namespace resgen
