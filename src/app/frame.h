// One frame: the panel viewport, the scene viewport, the backdrop, the world step and the help
// page.
#pragma once

#include "assets/textures.h"

namespace brambleshot {

// The panel takes the left eighth of the window (truncated), the scene the rest.
inline int panelWidthFor(int windowWidth) {
  return windowWidth / 8;
}

// The panel's view: the mirrored orthographic projection over the window's left panelWidth
// pixels, modelview reset.
void setPanelView(int panelWidth);
// The scene viewport's width over its height, a zero side counted as 1.
double sceneAspect(int sceneWidth, int height);
// The scene's view: a 60-degree perspective over the window right of the panel, modelview reset.
void setSceneView(int panelWidth, int sceneWidth);
// Multiplies the camera's view transform onto the modelview.
void lookThroughCamera();

// The display callback: drawFrame() and the sound's frame, then the buffer swap while paused;
// while playing the frame is only flushed, and the idle callback shows it once its sleep is over.
// Last, the best scores learn whether a game ended in that frame.
void onDisplay();
// Swaps in the frame the display callback left waiting, if any.
void presentPendingFrame();
// The sound's part of a frame: the engine hum follows the aircraft in flight.
void updateSound();
// Draws and advances one frame into the back buffer without swapping (tests read it back).
void drawFrame();
// The desert picture on a 16 x 12 quad standing at z = 5 behind the play plane.
void drawBackdrop();
// Where the play-plane point (x, y, 0) shows in the window under the last frame's scene view, in
// GLUT's coordinates (y from the top row): what a player points at. For autopilots and tests.
bool windowPointOf(double x, double y, int& windowX, int& windowY);
// The help page over x -2..2, y 0..4 of the play plane: mask multiplied in, then the page added.
void drawHelpOverlay();
// Whether the panel shows the REPLAY mark in the frames drawn from now on (while a demo plays;
// a replay's last frame goes without it, to match the recorded picture).
void showReplayMark(bool shown);

}  // namespace brambleshot
