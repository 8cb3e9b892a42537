// GLUT input callbacks, the idle pacing and the game states they drive.
#pragma once

namespace brambleshot {

void onKeyboard(unsigned char key, int x, int y);
void onMouse(int button, int state, int x, int y);
// Installed for motion with and without a button held.
void onMotion(int x, int y);
void onReshape(int width, int height);
// Sleeps 5 ms, shows the frame drawn before the sleep, gives the squadron its launch chance and
// asks for the next frame.
void onIdle();
// The idle callback's two parts: the 5 ms sleep that paces the game, and the launch chance.
void idleSleep();
void offerLaunch();
// Installs idle (unless paused) as the idle callback, and makes resuming install it from now
// on; a demo recording wraps onIdle this way.
void setIdleCallback(void (*idle)());
// A game started while the help page showed still waits, paused, beneath it: the frame then
// tells the player that 'h' plays on. Ends when the page is hidden.
bool gameWaitsUnderHelp();
// The squadron's HitTest: damages the tank; true (after starting its explosion) when destroyed.
bool tankHitTest(const double centre[2], double radius);

}  // namespace brambleshot
