// The game's version, from the project's version in the build.
#pragma once

namespace brambleshot {

#ifndef BRAMBLESHOT_VERSION
#error "the build defines BRAMBLESHOT_VERSION"
#endif
inline constexpr const char* kVersion = BRAMBLESHOT_VERSION;

// What --version answers: the version, then the licence of the code and of the resources it
// generates (the full text is in LICENSE).
inline constexpr const char* kVersionText =
    "brambleshot " BRAMBLESHOT_VERSION
    "\n"
    "Copyright (C) 2026 The Brambleshot developers\n"
    "License GPLv3+: GNU GPL version 3 or later.\n"
    "This is free software: you are free to change and redistribute it.\n"
    "There is NO WARRANTY, to the extent permitted by law.\n";

}  // namespace brambleshot
