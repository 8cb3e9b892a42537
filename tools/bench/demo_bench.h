// The pace of a real, busy game: the real game replays a committed demo with its 5 ms sleeps.
#pragma once

#include <filesystem>

#include "report.h"

namespace bench {

// Runs `binary --play demo` in `workDir` on the current X display `runs` times and adds its
// steps per second and their share of the designed 200 beside the staged scenes' pace rows.
// False if a replay did not end exactly.
bool runDemoBench(const std::filesystem::path& binary, const std::filesystem::path& workDir,
                  const std::filesystem::path& demo, int runs, Report& report);

}  // namespace bench
