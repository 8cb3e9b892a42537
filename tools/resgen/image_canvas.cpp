// Canvas, mask, BMP writer and noise for the image generator.
#include "image_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "resgen.h"

namespace resgen {

Rgb hex(std::uint32_t rgb) {
  return {static_cast<float>((rgb >> 16) & 0xff) / 255.0f,
          static_cast<float>((rgb >> 8) & 0xff) / 255.0f, static_cast<float>(rgb & 0xff) / 255.0f};
}

float clamp01(float v) {
  return std::min(1.0f, std::max(0.0f, v));
}

float smoothstep(float edge0, float edge1, float v) {
  const float t = clamp01((v - edge0) / (edge1 - edge0));
  return t * t * (3 - 2 * t);
}

Canvas::Canvas(int width, int height, Rgb fill)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, fill) {}

void Canvas::blend(int x, int y, Rgb colour, float alpha) {
  if (!contains(x, y) || alpha <= 0) return;
  Rgb& pixel = at(x, y);
  pixel = mix(pixel, colour, std::min(alpha, 1.0f));
}

void Canvas::fillRect(int x0, int y0, int x1, int y1, Rgb colour) {
  for (int y = std::max(y0, 0); y < std::min(y1, height_); ++y) {
    for (int x = std::max(x0, 0); x < std::min(x1, width_); ++x)
      at(x, y) = colour;
  }
}

Mask Mask::dilated(int radius) const {
  Mask out(width_, height_);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      float best = 0;
      for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
          if (dx * dx + dy * dy <= radius * radius + radius)
            best = std::max(best, at(x + dx, y + dy));
        }
      }
      out.at(x, y) = best;
    }
  }
  return out;
}

void paint(Canvas& canvas, const Mask& mask, int x, int y, Rgb colour, float opacity) {
  for (int my = 0; my < mask.height(); ++my) {
    for (int mx = 0; mx < mask.width(); ++mx) {
      canvas.blend(x + mx, y + my, colour, mask.at(mx, my) * opacity);
    }
  }
}

void put16(std::string& out, unsigned v) {
  out += static_cast<char>(v & 0xff);
  out += static_cast<char>((v >> 8) & 0xff);
}

void put32(std::string& out, std::uint32_t v) {
  put16(out, v & 0xffff);
  put16(out, v >> 16);
}

namespace {

unsigned char toByte(float v) {
  return static_cast<unsigned char>(std::lround(clamp01(v) * 255));
}

}  // namespace

bool writeBmp(const std::filesystem::path& path, const Canvas& canvas, RowOrder order) {
  const auto width = static_cast<std::uint32_t>(canvas.width());
  const auto height = static_cast<std::uint32_t>(canvas.height());
  const std::uint32_t dataSize = width * height * 3;  // widths are multiples of 4: no padding
  std::string bytes;
  bytes.reserve(54 + dataSize);
  bytes += "BM";
  put32(bytes, 54 + dataSize);
  put32(bytes, 0);
  put32(bytes, 54);
  put32(bytes, 40);
  put32(bytes, width);
  put32(bytes, height);
  put16(bytes, 1);
  put16(bytes, 24);
  put32(bytes, 0);
  put32(bytes, dataSize);
  put32(bytes, 2835);  // 72 dpi
  put32(bytes, 2835);
  put32(bytes, 0);
  put32(bytes, 0);
  for (int row = 0; row < canvas.height(); ++row) {
    const int y = order == RowOrder::kBottomFirst ? canvas.height() - 1 - row : row;
    for (int x = 0; x < canvas.width(); ++x) {
      const Rgb& p = canvas.at(x, y);
      bytes += static_cast<char>(toByte(p.b));
      bytes += static_cast<char>(toByte(p.g));
      bytes += static_cast<char>(toByte(p.r));
    }
  }
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) {
    std::fprintf(stderr, "resgen: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

std::uint32_t Rng::next() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return state_;
}

namespace {

// Integer hash of a lattice point, in [0, 1).
float lattice(int x, int y, std::uint32_t seed) {
  std::uint32_t h = seed * 0x9e3779b1u ^ static_cast<std::uint32_t>(x) * 0x85ebca6bu ^
                    static_cast<std::uint32_t>(y) * 0xc2b2ae35u;
  h ^= h >> 16;
  h *= 0x7feb352du;
  h ^= h >> 15;
  h *= 0x846ca68bu;
  h ^= h >> 16;
  return static_cast<float>(h >> 8) / 16777216.0f;
}

int wrap(int v, int period) {
  if (period <= 0) return v;
  const int m = v % period;
  return m < 0 ? m + period : m;
}

}  // namespace

float valueNoise(float x, float y, std::uint32_t seed, int periodX) {
  const float fx = std::floor(x);
  const float fy = std::floor(y);
  const int x0 = static_cast<int>(fx);
  const int y0 = static_cast<int>(fy);
  const float tx = x - fx;
  const float ty = y - fy;
  const float sx = tx * tx * (3 - 2 * tx);
  const float sy = ty * ty * (3 - 2 * ty);
  const int xa = wrap(x0, periodX);
  const int xb = wrap(x0 + 1, periodX);
  const float top = lattice(xa, y0, seed) * (1 - sx) + lattice(xb, y0, seed) * sx;
  const float bottom = lattice(xa, y0 + 1, seed) * (1 - sx) + lattice(xb, y0 + 1, seed) * sx;
  return top * (1 - sy) + bottom * sy;
}

float fractalNoise(float x, float y, std::uint32_t seed, int octaves, int periodX) {
  float sum = 0;
  float weight = 1;
  float total = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += valueNoise(x, y, seed + static_cast<std::uint32_t>(i) * 1013u, periodX) * weight;
    total += weight;
    weight *= 0.5f;
    x *= 2;
    y *= 2;
    periodX *= 2;
  }
  return sum / total;
}

}  // namespace resgen
