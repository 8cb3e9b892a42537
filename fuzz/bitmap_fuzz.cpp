// libFuzzer target: the BMP reader on arbitrary bytes, read from a file as the game does.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "assets/bitmap.h"

namespace {

// One scratch file per fuzzing process, removed at exit; in memory (/dev/shm) when possible,
// which runs the target about fifty times faster than a disk-backed /tmp.
struct ScratchFile {
  std::string path;
  ScratchFile() {
    for (const char* folder : {"/dev/shm", "/tmp"}) {
      std::string name = std::string(folder) + "/bitmap-fuzz-XXXXXX";
      const int fd = mkstemp(name.data());
      if (fd < 0) continue;
      close(fd);
      path = name;
      return;
    }
  }
  ~ScratchFile() { std::remove(path.c_str()); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static ScratchFile scratch;
  std::FILE* file = std::fopen(scratch.path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
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
