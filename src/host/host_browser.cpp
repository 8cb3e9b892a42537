// The browser's side of the host: no pause of its own (the loop's timer is the pause), and saved
// files copied to IndexedDB.
#include <emscripten.h>

#include "host/host.h"

namespace brambleshot::host {

namespace {
void (*soundStart)() = nullptr;
}  // namespace

void pauseBetweenSteps() {}

void wakeOnTime() {}

void whenSoundMayStart(void (*start)()) {
  soundStart = start;
}

void keepSavedFiles() {
  // The page mounted IndexedDB's file system over the game's data folder before start-up
  // (web/shell.js); this writes what changed back to the browser's storage.
  EM_ASM({
    if (Module.keepSavedFiles) Module.keepSavedFiles();
  });
}

}  // namespace brambleshot::host

// The page calls this from its first keydown, mousedown or touch, before the game sees it.
extern "C" EMSCRIPTEN_KEEPALIVE void brambleshot_first_input() {
  if (auto start = brambleshot::host::soundStart) {
    brambleshot::host::soundStart = nullptr;
    start();
  }
}
