// The .m parser against tinyobjloader and the BMP reader against stb_image, same inputs.
#pragma once

#include <filesystem>

#include "report.h"

namespace bench {

// Generates the inputs under workDir and adds the loader rows; false if a loader failed or the
// two sides did not read the same geometry / pixels.
bool runLoaderBench(const std::filesystem::path& workDir, int runs, Report& report);

}  // namespace bench
