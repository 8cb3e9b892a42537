// Opening the game's resource files (regular files only, and never waiting in open) and reading
// the little-endian numbers of their headers.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace brambleshot {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using ResourceFile = std::unique_ptr<std::FILE, FileCloser>;

// Opens path for reading in binary mode, and sets size to its length in bytes. A directory,
// FIFO, device or socket is refused like a missing file (nullptr), so that no resource can
// block start-up or feed the game an endless stream.
ResourceFile openResource(const std::string& path, std::uint64_t& size);

// The unsigned little-endian number in the 2 or 4 bytes at bytes.
inline unsigned little16(const unsigned char* bytes) {
  return static_cast<unsigned>(bytes[0]) | static_cast<unsigned>(bytes[1]) << 8;
}
inline std::uint32_t little32(const unsigned char* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

}  // namespace brambleshot
