// Large inputs for the loader benchmarks, made at run time: a finely divided sphere written as a
// .m file and as an OBJ file with the same numbers, and a big 24-bit BMP.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace bench {

struct SphereModel {
  std::vector<std::string> coordinates;  // "x y z" exactly as both files print them
  std::vector<std::size_t> corners;      // three per face, numbered from 0
  std::size_t faceCount() const { return corners.size() / 3; }
};

// A UV sphere: two poles and stacks - 1 rings of `slices` vertices;
// 2 * slices * (stacks - 1) triangles, all wound outwards.
SphereModel makeSphere(int slices, int stacks);

// The model as .m text (vertex numbers from 1; every `colourEvery`-th face carries a colour
// clause, the others keep the last colour) and as OBJ text (v / f lines).
std::string meshText(const SphereModel& model, std::size_t colourEvery);
std::string objText(const SphereModel& model);

// A bottom-up, unpadded 24-bit BMP with a 54-byte header and a deterministic pattern.
// width * 3 must be a multiple of 4. Returns false if the file cannot be written.
bool writeBmp(const std::filesystem::path& path, int width, int height);

// The colour writeBmp gives pixel (x, y), y counted from the bottom row, as R, G, B.
void bmpPixel(int x, int y, unsigned char rgb[3]);

}  // namespace bench
