// The desktop's side of the host: a real sleep, woken on time, and files that last once
// written.
#include <sys/prctl.h>

#include <chrono>
#include <thread>

#include "host/host.h"

namespace brambleshot::host {

void pauseBetweenSteps() {
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

void wakeOnTime() {
  prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
}

void whenSoundMayStart(void (*start)()) {
  start();
}

void keepSavedFiles() {}

}  // namespace brambleshot::host
