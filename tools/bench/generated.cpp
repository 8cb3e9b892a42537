// Generators for the loader benchmarks' inputs.
#include "generated.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>

namespace bench {

SphereModel makeSphere(int slices, int stacks) {
  SphereModel model;
  char text[96];
  auto addVertex = [&](double x, double y, double z) {
    std::snprintf(text, sizeof text, "%.6g %.6g %.6g", x, y, z);
    model.coordinates.emplace_back(text);
  };
  addVertex(0, 1, 0);  // north pole: vertex 0
  for (int ring = 1; ring < stacks; ++ring) {
    const double theta = std::numbers::pi * ring / stacks;
    for (int s = 0; s < slices; ++s) {
      const double phi = 2 * std::numbers::pi * s / slices;
      addVertex(std::sin(theta) * std::cos(phi), std::cos(theta), std::sin(theta) * std::sin(phi));
    }
  }
  const auto south = static_cast<std::size_t>(1 + (stacks - 1) * slices);
  addVertex(0, -1, 0);

  auto ringVertex = [&](int ring, int s) {
    return static_cast<std::size_t>(1 + (ring - 1) * slices + (s % slices));
  };
  auto face = [&](std::size_t a, std::size_t b, std::size_t c) {
    model.corners.insert(model.corners.end(), {a, b, c});
  };
  for (int s = 0; s < slices; ++s)
    face(0, ringVertex(1, s + 1), ringVertex(1, s));
  for (int ring = 1; ring + 1 < stacks; ++ring) {
    for (int s = 0; s < slices; ++s) {
      face(ringVertex(ring, s), ringVertex(ring, s + 1), ringVertex(ring + 1, s));
      face(ringVertex(ring, s + 1), ringVertex(ring + 1, s + 1), ringVertex(ring + 1, s));
    }
  }
  for (int s = 0; s < slices; ++s)
    face(south, ringVertex(stacks - 1, s), ringVertex(stacks - 1, s + 1));
  return model;
}

// Lines are built with snprintf: the same text as string concatenation, without g++ 12's
// spurious -Wrestrict warning on operator+ chains.
std::string meshText(const SphereModel& model, std::size_t colourEvery) {
  std::string out = "# generated sphere for the loader benchmark\n";
  out.reserve(model.coordinates.size() * 40 + model.faceCount() * 40);
  char line[160];
  for (std::size_t i = 0; i < model.coordinates.size(); ++i) {
    std::snprintf(line, sizeof line, "Vertex %zu  %s\n", i + 1, model.coordinates[i].c_str());
    out.append(line);
  }
  for (std::size_t f = 0; f < model.faceCount(); ++f) {
    const std::size_t* c = &model.corners[f * 3];
    int n = std::snprintf(line, sizeof line, "Face %zu %zu %zu %zu", f + 1, c[0] + 1, c[1] + 1,
                          c[2] + 1);
    if (colourEvery > 0 && f % colourEvery == 0)
      n += std::snprintf(line + n, sizeof line - static_cast<std::size_t>(n),
                         "{rgb=(0.8 0.%zu 0.25) matid=1}", f / colourEvery % 10);
    out.append(line, static_cast<std::size_t>(n)).push_back('\n');
  }
  return out;
}

std::string objText(const SphereModel& model) {
  std::string out = "# generated sphere for the loader benchmark\n";
  out.reserve(model.coordinates.size() * 30 + model.faceCount() * 24);
  char line[160];
  for (const std::string& xyz : model.coordinates) {
    std::snprintf(line, sizeof line, "v %s\n", xyz.c_str());
    out.append(line);
  }
  for (std::size_t f = 0; f < model.faceCount(); ++f) {
    const std::size_t* c = &model.corners[f * 3];
    std::snprintf(line, sizeof line, "f %zu %zu %zu\n", c[0] + 1, c[1] + 1, c[2] + 1);
    out.append(line);
  }
  return out;
}

void bmpPixel(int x, int y, unsigned char rgb[3]) {
  rgb[0] = static_cast<unsigned char>(x * 7 + y);
  rgb[1] = static_cast<unsigned char>(y * 3);
  rgb[2] = static_cast<unsigned char>((x ^ y) + 17);
}

namespace {

void put16(unsigned char* p, unsigned v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
}
void put32(unsigned char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i)
    p[i] = static_cast<unsigned char>(v >> (8 * i));
}

}  // namespace

bool writeBmp(const std::filesystem::path& path, int width, int height) {
  const std::uint32_t pixelBytes = static_cast<std::uint32_t>(width) * height * 3;
  unsigned char header[54] = {'B', 'M'};
  put32(header + 2, 54 + pixelBytes);
  put32(header + 10, 54);
  put32(header + 14, 40);
  put32(header + 18, static_cast<std::uint32_t>(width));
  put32(header + 22, static_cast<std::uint32_t>(height));
  put16(header + 26, 1);
  put16(header + 28, 24);
  put32(header + 34, pixelBytes);
  std::vector<unsigned char> pixels(pixelBytes);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      unsigned char rgb[3];
      bmpPixel(x, y, rgb);
      unsigned char* p = &pixels[(static_cast<std::size_t>(y) * width + x) * 3];
      p[0] = rgb[2];  // stored B, G, R
      p[1] = rgb[1];
      p[2] = rgb[0];
    }
  }
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(header), sizeof header);
  file.write(reinterpret_cast<const char*>(pixels.data()),
             static_cast<std::streamsize>(pixelBytes));
  return static_cast<bool>(file);
}

}  // namespace bench
