// The game's version texts, from the project's version in the build.
#include "world/version.h"

#ifndef BRAMBLESHOT_VERSION
#error "the build defines BRAMBLESHOT_VERSION"
#endif

namespace brambleshot {

const char* const kVersion = BRAMBLESHOT_VERSION;

const char* const kVersionText =
    "brambleshot " BRAMBLESHOT_VERSION
    "\n"
    "Copyright (C) 2026 The Brambleshot developers\n"
    "License GPLv3+: GNU GPL version 3 or later.\n"
    "This is free software: you are free to change and redistribute it.\n"
    "There is NO WARRANTY, to the extent permitted by law.\n";

}  // namespace brambleshot
