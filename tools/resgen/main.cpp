// resgen: writes every image, mesh and sound that the game reads from Resources/.
//
//   resgen [OUTPUT_DIR]           images, meshes and sounds/ (default: ./Resources)
//   resgen --icons ICON_DIR       the application icon at the hicolor sizes
#include <cstdio>
#include <filesystem>
#include <string>

#include "resgen.h"

int main(int argc, char** argv) {
  const bool icons = argc > 2 && std::string(argv[1]) == "--icons";
  const std::filesystem::path out = icons ? argv[2] : argc > 1 ? argv[1] : "Resources";
  std::error_code error;
  std::filesystem::create_directories(out, error);
  if (error) {
    std::fprintf(stderr, "resgen: cannot create %s: %s\n", out.c_str(), error.message().c_str());
    return 1;
  }
  const bool ok = icons ? resgen::writeIcons(out)
                        : resgen::writeImages(out) && resgen::writeModels(out) &&
                              resgen::writeSounds(out / "sounds");
  return ok ? 0 : 1;
}
