// Uncompressed 24-bit BMP reader and the upload of an image under its fixed texture number
// (assets/textures.h).
#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "assets/textures.h"

namespace brambleshot {

struct BitmapImage {
  std::int32_t width = 0;                   // pixels per row
  std::int32_t height = 0;                  // rows, bottom row first
  std::unique_ptr<unsigned char[]> pixels;  // width * height * 3 bytes, R G B, no row padding
};

// Reads path into image. Returns false, after printing one line naming the file, when the file
// is missing or not a regular file, is not a 1-plane 24-bit image, has an unusable size (or a
// side longer than largestSide) or holds too few pixel bytes.
bool readBitmap(const std::string& path, BitmapImage& image,
                std::int32_t largestSide = std::numeric_limits<std::int32_t>::max());

// Uploads image as texture id (nearest filtering) and leaves it bound. Returns false, after
// printing one line naming path, if GL refuses it.
bool uploadTexture(const BitmapImage& image, TextureId id, const std::string& path);

// Uploads the image at path as texture id (nearest filtering) and leaves it bound.
// Ends the process with status 1 if the image cannot be read, is larger than GL_MAX_TEXTURE_SIZE
// or is refused by GL.
void loadTexture(const std::string& path, TextureId id);

// Texture 0: 64 x 64 RGB storage, clamped, nearest filtering.
void createDefaultTexture();

}  // namespace brambleshot
