// What the desktop and the browser do differently, below the game: how the idle callback pauses
// between world steps and how a saved file is made to last. host_desktop.cpp and
// host_browser.cpp hold the two versions side by side; each build compiles one.
#pragma once

namespace brambleshot::host {

// The idle callback's pause before each world step. The desktop sleeps 5 ms; the browser's
// only thread must never block, so there the loop's 5 ms timer is the pause and this is none.
void pauseBetweenSteps();

// Asks for the pause to end on time, for the thread that calls it: Linux lets a sleeping thread
// wake up to 50 us late by default. The browser's timers are the browser's.
void wakeOnTime();

// Runs start (which opens the sound device) now on the desktop; in a browser, which lets a page
// make sound only from the player's first key or click, within that first input.
void whenSoundMayStart(void (*start)());

// After the game saved a file: the desktop's save has already reached the disk; the browser
// copies its file system to the page's persistent storage (IndexedDB).
void keepSavedFiles();

}  // namespace brambleshot::host
