// libFuzzer target: the BMP reader on arbitrary bytes, read from a file as the game does.
#include <cstddef>
#include <cstdint>
#include <string>

#include "assets/bitmap.h"
#include "scratch_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static ScratchFile scratch("bitmap-fuzz");
  if (!scratch.write(data, size)) return 0;
  brambleshot::BitmapImage image;
  if (brambleshot::readBitmap(scratch.path, image)) {
    // A successful read holds width * height * 3 bytes that were all in the file.
    const auto bytes = static_cast<std::size_t>(image.width) * image.height * 3;
    if (image.width <= 0 || image.height <= 0 || bytes > size) __builtin_trap();
    volatile unsigned char sink = image.pixels[bytes - 1];
    (void)sink;
  }
  return 0;
}
