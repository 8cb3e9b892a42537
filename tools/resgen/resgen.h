// The resource generator's parts: images and models, each writing its files into a folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace resgen {

// Writes the 41 BMP images. False (after a message on stderr) if a file cannot be written.
bool writeImages(const std::filesystem::path& folder);
// Writes Tank.m, Wheel.m and cessna500.m.
bool writeModels(const std::filesystem::path& folder);
// Writes the 11 sounds (16-bit mono WAV) into folder, made if missing.
bool writeSounds(const std::filesystem::path& folder);

// Writes the application icon as hicolor/NxN/apps/brambleshot.png at the usual sizes.
bool writeIcons(const std::filesystem::path& folder);

// Append v to out in little-endian byte order, as BMP and WAV headers store numbers.
void put16(std::string& out, unsigned v);
void put32(std::string& out, std::uint32_t v);

}  // namespace resgen
