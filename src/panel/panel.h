// The instrument panel in the left eighth of the window: labels, digit read-outs and the mute,
// paused and replay marks.
#pragma once

#include <GL/gl.h>

namespace brambleshot {

struct HudPanel {
  GLuint labelsList = 0;    // Score, Health, Kills, Escapes
  GLuint gameOverList = 0;  // Start and GameOver
};

extern HudPanel hudPanel;

// Compiles the two label lists; needs the panel textures loaded.
void buildPanelLists();
void drawPanel(bool gameOver, int score, int health, int reload, int kills, int escapes);

// The marks the panel shows only at times: a crossed loudspeaker under the escapes while the
// sound is muted, PAUSED above the GameOver label while the game is paused, REPLAY under it
// while a demo plays. Their images are loaded quietly: a missing one is reported by the reader
// and that mark is left out.
void loadPanelMarks();
void drawMuteMark();
void drawPausedMark();
void drawReplayMark();

}  // namespace brambleshot
