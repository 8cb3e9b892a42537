// Side-by-side timings of pieces of the peak frame drawn two ways with the same pixels, to
// size the savings available without changing what a player sees.
#pragma once

#include "report.h"

namespace bench {

// Needs the game's window and resources (after runFrameBench's start-up). Leaves the game's
// objects as it found them.
void runExperiments(int repetitions, Report& report);

}  // namespace bench
