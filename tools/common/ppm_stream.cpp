// Binary PPM pictures on a stream: written one after another, read back strictly.
#include "ppm_stream.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace tools {

namespace {

// Skips white space and '#' comments in a header; returns the next character.
int skipSpace(std::FILE* file) {
  int c = std::fgetc(file);
  while (c != EOF && (std::isspace(c) || c == '#')) {
    if (c == '#')
      while (c != EOF && c != '\n')
        c = std::fgetc(file);
    c = std::fgetc(file);
  }
  return c;
}

// A header number of at most five digits (no picture here is wider than 16384), or -1.
int readNumber(std::FILE* file) {
  int c = skipSpace(file);
  int value = 0, digits = 0;
  for (; c != EOF && std::isdigit(c); c = std::fgetc(file)) {
    if (++digits > 5) return -1;
    value = value * 10 + (c - '0');
  }
  if (digits == 0 || c == EOF || !std::isspace(c)) return -1;  // one space ends each number
  return value;
}

}  // namespace

PpmRead readPpm(std::FILE* file, RgbPicture& picture, std::string& error) {
  const int first = skipSpace(file);
  if (first == EOF) return PpmRead::end;
  if (first != 'P' || std::fgetc(file) != '6') {
    error = "not a binary PPM (P6) picture";
    return PpmRead::bad;
  }
  const int width = readNumber(file), height = readNumber(file), maxval = readNumber(file);
  if (width < 1 || height < 1 || width > kMaxPpmSide || height > kMaxPpmSide) {
    error = "picture size missing or out of range";
    return PpmRead::bad;
  }
  if (maxval != 255) {
    error = "only 8-bit pictures (maxval 255) are read";
    return PpmRead::bad;
  }
  const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
  picture.width = width;
  picture.height = height;
  // Grown a megabyte at a time as the bytes arrive, so a header alone cannot claim gigabytes.
  picture.rgb.clear();
  for (std::size_t got = 0; got < bytes;) {
    const std::size_t chunk = std::min<std::size_t>(bytes - got, std::size_t{1} << 20);
    picture.rgb.resize(got + chunk);
    if (std::fread(picture.rgb.data() + got, 1, chunk, file) != chunk) {
      error = "picture cut short";
      return PpmRead::bad;
    }
    got += chunk;
  }
  return PpmRead::picture;
}

bool writePpm(std::FILE* file, int width, int height, const unsigned char* rgb) {
  const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
  return std::fprintf(file, "P6\n%d %d\n255\n", width, height) > 0 &&
         std::fwrite(rgb, 1, bytes, file) == bytes;
}

namespace {

// The largest channel gap between pixel i of one picture and pixel j of another.
int gapBetween(const RgbPicture& a, std::size_t i, const RgbPicture& b, std::size_t j) {
  int gap = 0;
  for (std::size_t c = 0; c < 3; ++c)
    gap = std::max(gap, std::abs(a.rgb[i * 3 + c] - b.rgb[j * 3 + c]));
  return gap;
}

// The smallest gap between pixel (x, y) of one picture and the other's pixels around it.
int closestAround(const RgbPicture& from, const RgbPicture& to, int x, int y) {
  int best = 256;
  const std::size_t at = static_cast<std::size_t>(y) * from.width + x;
  for (int ny = std::max(y - 1, 0); ny <= std::min(y + 1, to.height - 1); ++ny)
    for (int nx = std::max(x - 1, 0); nx <= std::min(x + 1, to.width - 1); ++nx)
      best = std::min(best, gapBetween(from, at, to, static_cast<std::size_t>(ny) * to.width + nx));
  return best;
}

}  // namespace

PictureDifference comparePictures(const RgbPicture& a, const RgbPicture& b, int noise) {
  PictureDifference difference;
  const bool sameSize = a.width == b.width && a.height == b.height;
  const std::size_t count = std::min(a.rgb.size(), b.rgb.size()) / 3;
  for (std::size_t i = 0; i < count; ++i) {
    const int gap = gapBetween(a, i, b, i);
    if (gap <= noise) continue;
    ++difference.pixels;
    difference.maxLevel = std::max(difference.maxLevel, gap);
    if (!sameSize || a.width <= 0) continue;
    const int x = static_cast<int>(i % static_cast<std::size_t>(a.width));
    const int y = static_cast<int>(i / static_cast<std::size_t>(a.width));
    difference.shiftedMaxLevel = std::max(
        difference.shiftedMaxLevel, std::max(closestAround(a, b, x, y), closestAround(b, a, x, y)));
  }
  return difference;
}

}  // namespace tools
