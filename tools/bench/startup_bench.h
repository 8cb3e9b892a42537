// Start-up of the real game binary, timed from outside: exec to the first frame on screen.
#pragma once

#include <filesystem>

#include "report.h"

namespace bench {

// Starts `binary` in `workDir` (which holds Resources/) on the current X display `runs` times
// and adds the start-up row. False if no run showed its first frame.
bool runStartupBench(const std::filesystem::path& binary, const std::filesystem::path& workDir,
                     int runs, Report& report);

}  // namespace bench
