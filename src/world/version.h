// The game's version, for --version and the demos' headers. Both texts are defined in
// world/version.cpp, the one source the build gives the version to, so that a new version
// rebuilds that file alone.
#pragma once

namespace brambleshot {

extern const char* const kVersion;  // "MAJOR.MINOR.PATCH"
// What --version answers: the version, then the licence of the code and of the resources it
// generates (the full text is in LICENSE).
extern const char* const kVersionText;

}  // namespace brambleshot
