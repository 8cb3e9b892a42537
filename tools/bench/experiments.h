// Diagnoses of the peak frame: where its time goes, split between the work the game hands to
// GL and llvmpipe's rasterisation, and what the bombs' lights cost.
#pragma once

#include <functional>

#include "report.h"

namespace bench {

// Needs the game's window and resources (after runFrameBench's start-up). peakFrame draws one
// whole peak frame (restored scene, drawFrame, swap). Leaves GL state as it found it.
void runExperiments(int repetitions, const std::function<void()>& peakFrame, Report& report);

}  // namespace bench
