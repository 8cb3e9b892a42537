// Binary PPM pictures (P6, 8 bits a channel) written and read one after another on a stream:
// the screenshots tool writes every frame of the seeded game this way, and framediff compares
// two such streams frame by frame.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace tools {

struct RgbPicture {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;  // rows top first, three bytes a pixel
};

enum class PpmRead { picture, end, bad };

// Reads the next picture: `end` when the stream ends cleanly before one, `bad` (with the reason
// in error) for anything else than a whole P6 picture of at most kMaxPpmSide a side, maxval 255.
constexpr int kMaxPpmSide = 16384;
PpmRead readPpm(std::FILE* file, RgbPicture& picture, std::string& error);

// Writes one picture; rows top first.
bool writePpm(std::FILE* file, int width, int height, const unsigned char* rgb);

// How two pictures of the same size differ: the pixels with any channel apart, and the largest
// gap in any channel. shiftedMaxLevel forgives an edge drawn one pixel over: each differing
// pixel is compared with the other picture's pixel at its place and its eight neighbours, both
// ways round, and the closest match counts.
// Pixels apart by no more than `noise` levels in every channel are not counted at all.
struct PictureDifference {
  long pixels = 0;
  int maxLevel = 0;
  int shiftedMaxLevel = 0;
};
PictureDifference comparePictures(const RgbPicture& a, const RgbPicture& b, int noise = 0);

}  // namespace tools
