// Opening the game's resource files: regular files only, and never waiting in open.
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

}  // namespace brambleshot
