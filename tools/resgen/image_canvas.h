// Floating-point RGB pictures, the 24-bit BMP writer and seeded noise for the image generator.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace resgen {

struct Rgb {
  float r = 0, g = 0, b = 0;
};

inline Rgb operator+(Rgb a, Rgb b) {
  return {a.r + b.r, a.g + b.g, a.b + b.b};
}
inline Rgb operator*(Rgb a, float k) {
  return {a.r * k, a.g * k, a.b * k};
}
inline Rgb operator*(Rgb a, Rgb b) {
  return {a.r * b.r, a.g * b.g, a.b * b.b};
}
inline Rgb mix(Rgb a, Rgb b, float t) {
  return a * (1 - t) + b * t;
}
// 0xRRGGBB as a colour.
Rgb hex(std::uint32_t rgb);

float clamp01(float v);
float smoothstep(float edge0, float edge1, float v);

// A picture with row 0 at the top.
class Canvas {
 public:
  Canvas(int width, int height, Rgb fill = {});
  int width() const { return width_; }
  int height() const { return height_; }
  Rgb& at(int x, int y) { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
  const Rgb& at(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  // Lays colour over the pixel with the given opacity; points outside are ignored.
  void blend(int x, int y, Rgb colour, float alpha);
  void fillRect(int x0, int y0, int x1, int y1, Rgb colour);  // x1, y1 exclusive

 private:
  int width_;
  int height_;
  std::vector<Rgb> pixels_;
};

// A coverage map (0 to 1 per pixel), row 0 at the top.
class Mask {
 public:
  Mask(int width, int height) : width_(width), height_(height), values_(width * height, 0.0f) {}
  int width() const { return width_; }
  int height() const { return height_; }
  float at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return values_[static_cast<std::size_t>(y) * width_ + x];
  }
  float& at(int x, int y) { return values_[static_cast<std::size_t>(y) * width_ + x]; }
  // Coverage spread by radius pixels (the maximum over a disc): an outline or a glow's core.
  Mask dilated(int radius) const;

 private:
  int width_;
  int height_;
  std::vector<float> values_;
};

// Paints colour through mask, with the mask's (0, 0) placed at (x, y) on the canvas.
void paint(Canvas& canvas, const Mask& mask, int x, int y, Rgb colour, float opacity = 1);

// How the rows go into the file: a normal picture stores its bottom row first; the backdrop is
// shown through texture coordinates that turn it over, so it stores its top row first.
enum class RowOrder { kBottomFirst, kTopFirst };

// Writes an uncompressed 24-bit BMP. False, after a message on stderr, if the file fails.
bool writeBmp(const std::filesystem::path& path, const Canvas& canvas,
              RowOrder order = RowOrder::kBottomFirst);

// Small deterministic generator (xorshift32): the same seed gives the same sequence everywhere.
class Rng {
 public:
  explicit Rng(std::uint32_t seed) : state_(seed ? seed : 0x9e3779b9u) {}
  std::uint32_t next();
  float uniform() { return static_cast<float>(next() >> 8) / 16777216.0f; }  // [0, 1)

 private:
  std::uint32_t state_;
};

// Smooth value noise in [0, 1] on an integer lattice; with periodX > 0 it wraps around in x
// after periodX lattice cells, so a texture wrapped round a cylinder or sphere has no seam.
float valueNoise(float x, float y, std::uint32_t seed, int periodX = 0);
// Sum of octaves of valueNoise, each twice the frequency and half the weight, scaled to [0, 1].
float fractalNoise(float x, float y, std::uint32_t seed, int octaves, int periodX = 0);

}  // namespace resgen
