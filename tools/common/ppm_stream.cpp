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

PictureDifference comparePictures(const RgbPicture& a, const RgbPicture& b) {
  PictureDifference difference;
  const std::size_t bytes = std::min(a.rgb.size(), b.rgb.size());
  for (std::size_t i = 0; i + 2 < bytes; i += 3) {
    int gap = 0;
    for (std::size_t c = i; c < i + 3; ++c)
      gap = std::max(gap, std::abs(a.rgb[c] - b.rgb[c]));
    if (gap == 0) continue;
    ++difference.pixels;
    difference.maxLevel = std::max(difference.maxLevel, gap);
  }
  return difference;
}

}  // namespace tools
