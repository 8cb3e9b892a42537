// The instrument panel in the left eighth of the window: labels and digit read-outs.
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

// The mark shown on the panel while the sound is muted: its image is loaded quietly (a missing
// one is reported by the reader and the mark is left out), and drawn under the escapes.
void loadMuteMark();
void drawMuteMark();

}  // namespace brambleshot
