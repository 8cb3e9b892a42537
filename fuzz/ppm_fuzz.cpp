// libFuzzer target: framediff's PPM stream reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "ppm_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
  if (!file) return 0;
  tools::RgbPicture picture;
  std::string error;
  std::size_t total = 0;
  while (tools::readPpm(file, picture, error) == tools::PpmRead::picture) {
    // Every picture read holds width * height * 3 bytes that were all in the input.
    const auto bytes = static_cast<std::size_t>(picture.width) * picture.height * 3;
    total += bytes;
    if (picture.rgb.size() != bytes || total > size) __builtin_trap();
  }
  std::fclose(file);
  return 0;
}
