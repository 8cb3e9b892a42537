// The game's version, from the project's version in the build.
#pragma once

namespace brambleshot {

#ifndef BRAMBLESHOT_VERSION
#error "the build defines BRAMBLESHOT_VERSION"
#endif
inline constexpr const char* kVersion = BRAMBLESHOT_VERSION;

}  // namespace brambleshot
