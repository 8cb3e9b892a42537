// The scripted minute of play, heard through the game's own sound player.
#pragma once

#include <string>

namespace soundreport {

// Plays the seeded game with the tools' autopilot at the game's own pace for `seconds` of wall
// time, its sound mixed by OpenAL Soft's wave backend into `path`. False after a message on
// stderr if the game or its sound cannot start or the file is not written.
bool recordPlay(const std::string& path, double seconds);

}  // namespace soundreport
