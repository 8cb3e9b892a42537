// Makes the standard streams safe to use however the game was started.
#pragma once

namespace brambleshot {

// Reopens any of descriptors 0, 1 and 2 that is closed on /dev/null (before GLUT opens the X
// connection, which would otherwise take its number), ignores SIGPIPE and SIGXFSZ so that writing
// to a closed pipe or past a file-size limit fails instead of ending the game, and line-buffers
// standard output so that every message is out as soon as it is printed.
void protectStandardStreams();

}  // namespace brambleshot
