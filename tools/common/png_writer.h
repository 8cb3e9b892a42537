// Writes 8-bit RGB or RGBA PNG files for the tools (icons, screenshots).
#pragma once

#include <filesystem>
#include <vector>

namespace tools {

// pixels: rows top first, channels (3 or 4) bytes per pixel. False after a message on stderr.
bool writePng(const std::filesystem::path& path, int width, int height, int channels,
              const std::vector<unsigned char>& pixels);

}  // namespace tools
