// BMP reader and texture upload.
//
// The reader takes the fields it needs at fixed offsets: width and height at 18, planes at 26,
// bits per pixel at 28, pixels from byte 54. It trusts nothing else in the header, and checks
// the size against the file (and against the largest texture) before allocating, so no header
// can make it read or write outside the pixel buffer or allocate more than the file holds.
#include "assets/bitmap.h"

#include <GL/gl.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <new>
#include <utility>

#include "assets/resource_file.h"

namespace brambleshot {

namespace {

constexpr long kPixelOffset = 54;

}  // namespace

bool readBitmap(const std::string& path, BitmapImage& image, std::int32_t largestSide) {
  std::uint64_t fileSize = 0;
  const ResourceFile file = openResource(path, fileSize);
  if (!file) {
    std::printf("File Not Found : %s\n", path.c_str());
    return false;
  }

  unsigned char header[kPixelOffset];
  const std::size_t headerRead = std::fread(header, 1, sizeof header, file.get());
  if (headerRead < 30) {
    std::printf("Header from %s is incomplete: %zu bytes\n", path.c_str(), headerRead);
    return false;
  }
  const auto width = static_cast<std::int32_t>(little32(header + 18));
  const auto height = static_cast<std::int32_t>(little32(header + 22));
  const unsigned planes = little16(header + 26);
  if (planes != 1) {
    std::printf("Planes from %s is not 1: %u\n", path.c_str(), planes);
    return false;
  }
  const unsigned bitsPerPixel = little16(header + 28);
  if (bitsPerPixel != 24) {
    std::printf("Bpp from %s is not 24: %u\n", path.c_str(), bitsPerPixel);
    return false;
  }
  // Rows are read without padding, bottom row first: a top-down (negative height) image, an
  // empty one or one whose rows would be padded cannot be read correctly.
  if (width <= 0 || height <= 0) {
    std::printf("Size from %s is not positive: %d x %d\n", path.c_str(), width, height);
    return false;
  }
  // Refused before the pixels are read: GL would take nothing of it.
  if (width > largestSide || height > largestSide) {
    std::printf("Size from %s is larger than the largest texture, %d: %d x %d\n", path.c_str(),
                largestSide, width, height);
    return false;
  }
  if ((static_cast<std::int64_t>(width) * 3) % 4 != 0) {
    std::printf("Rows from %s need padding: width %d is not a multiple of 4\n", path.c_str(),
                width);
    return false;
  }
  // Both factors are below 2^31, so the product fits in 64 bits.
  const std::uint64_t dataSize =
      static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * 3u;

  // The file must hold the whole pixel block after the 54-byte header, where reading now
  // stands; anything beyond it is ignored.
  if (headerRead < sizeof header || fileSize < sizeof header ||
      fileSize - sizeof header < dataSize) {
    std::printf("Error reading image data from %s.\n", path.c_str());
    return false;
  }

  std::unique_ptr<unsigned char[]> pixels(new (std::nothrow) unsigned char[dataSize]);
  if (!pixels) {
    std::printf("Error allocating memory for color-corrected image data");
    return false;
  }
  if (std::fread(pixels.get(), 1, dataSize, file.get()) != dataSize) {
    std::printf("Error reading image data from %s.\n", path.c_str());
    return false;
  }
  // The file stores B, G, R; GL wants R, G, B.
  unsigned char* pixel = pixels.get();
  for (std::uint64_t i = 0; i < dataSize; i += 3)
    std::swap(pixel[i], pixel[i + 2]);

  image.width = width;
  image.height = height;
  image.pixels = std::move(pixels);
  return true;
}

bool uploadTexture(const BitmapImage& image, TextureId id, const std::string& path) {
  // Errors left from before are not this image's; a bounded drain, as a lost context repeats.
  for (int i = 0; i < 32 && glGetError() != GL_NO_ERROR; ++i) {
  }
  glBindTexture(GL_TEXTURE_2D, id);
  glTexImage2D(GL_TEXTURE_2D, 0, 3, image.width, image.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
               image.pixels.get());
  // GL refuses an image silently (out of memory, a size it cannot take): the game would show
  // white where the picture belongs, so this is an image failure like the others.
  if (const GLenum error = glGetError(); error != GL_NO_ERROR) {
    std::printf("Texture from %s was refused by GL: error 0x%04x\n", path.c_str(), error);
    return false;
  }
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  return true;
}

void loadTexture(const std::string& path, TextureId id) {
  BitmapImage image;
  std::printf("Trying to load: %s\n", path.c_str());
  GLint largest = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
  if (largest <= 0) largest = std::numeric_limits<std::int32_t>::max();  // GL would not say
  if (!readBitmap(path, image, largest) || !uploadTexture(image, id, path)) {
    std::fflush(stdout);
    std::exit(1);
  }
}

void createDefaultTexture() {
  glBindTexture(GL_TEXTURE_2D, kDefaultTexture);
  glTexImage2D(GL_TEXTURE_2D, 0, 3, 64, 64, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLfloat>(GL_CLAMP));
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLfloat>(GL_CLAMP));
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLfloat>(GL_NEAREST));
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLfloat>(GL_NEAREST));
}

}  // namespace brambleshot
