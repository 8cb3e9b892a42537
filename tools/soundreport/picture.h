// The picture of a recording: what it holds over time and how loud it is.
#pragma once

#include <string>

#include "sound_measure.h"

namespace soundreport {

// Writes one PNG: the spectrogram (40 Hz to 16 kHz on a log scale, time across) over the
// momentary and short-term loudness and the true peak of each 100 ms, titled. False after a
// message on stderr if it cannot be written.
bool writeReportPng(const std::string& path, const tools::Audio& audio, const std::string& title);

}  // namespace soundreport
