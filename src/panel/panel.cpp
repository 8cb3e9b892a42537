// The instrument panel: fixed labels from two display lists, digit read-outs per frame and the
// marks loaded at start-up.
//
// Panel units: x from +4/3 (left edge) to -4/3 (right edge), y from -10 (top) to +10 (bottom).
#include "panel/panel.h"

#include <GL/gl.h>

#include <cstdint>

#include "assets/bitmap.h"
#include "panel/panel_layout.h"

namespace brambleshot {

HudPanel hudPanel;

namespace {

bool muteMarkLoaded = false;
bool pausedMarkLoaded = false;
bool replayMarkLoaded = false;

constexpr int kReloadPerDigit = 50;  // the reload digit counts down once per 50 frames

// The unit square at z = 0. The panel's axes are mirrored, so these texture coordinates show
// an image (stored bottom row first) upright and unmirrored.
void drawPanelQuad() {
  glBegin(GL_QUADS);
  glTexCoord2d(1, 1);
  glVertex3d(0, 0, 0);
  glTexCoord2d(0, 1);
  glVertex3d(1, 0, 0);
  glTexCoord2d(0, 0);
  glVertex3d(1, 1, 0);
  glTexCoord2d(1, 0);
  glVertex3d(0, 1, 0);
  glEnd();
}

// One picture covering x..x+w (its right edge on the screen at x) and y..y+h (top to bottom).
void drawPlacedSquare(GLuint texture, double x, double y, double w, double h) {
  glPushMatrix();
  glTranslated(x, y, 0);
  glScaled(w, h, 1);
  glBindTexture(GL_TEXTURE_2D, texture);
  drawPanelQuad();
  glPopMatrix();
}

// Decimal digit k (0 = ones) of a magnitude.
GLuint digitTexture(std::int64_t magnitude, int k) {
  for (int i = 0; i < k; ++i)
    magnitude /= 10;
  return kDigitTexture + static_cast<GLuint>(magnitude % 10);
}

// Magnitude in 64 bits: the magnitude of INT_MIN does not fit in an int.
std::int64_t magnitudeOf(int value) {
  const auto wide = static_cast<std::int64_t>(value);
  return wide < 0 ? -wide : wide;
}

// A read-out of `places` squares, ones on the right, leading zeros shown. When `negative`,
// the highest place shows the minus sign instead of its digit.
void drawNumber(double y, int value, int places, bool negative) {
  const std::int64_t magnitude = magnitudeOf(value);
  glPushMatrix();
  glTranslated(-1.4, y, 0);
  glScaled(0.5, 0.5, 1);
  for (int k = 0; k < places; ++k) {
    if (k > 0) glTranslated(0.9, 0, 0);
    const bool sign = negative && k == places - 1;
    glBindTexture(GL_TEXTURE_2D, sign ? kMinusTexture : digitTexture(magnitude, k));
    drawPanelQuad();
  }
  glPopMatrix();
}

void drawScore(int score) {
  drawNumber(-8.9, score, 6, score < 0);
}
void drawHealth(int health) {
  drawNumber(-6.9, health, 3, false);
}
void drawKills(int kills) {
  drawNumber(2.6, kills, 6, false);
}
void drawEscapes(int escapes) {
  drawNumber(4.6, escapes, 6, false);
}

// Ready: the Cannon label. Reloading: the label and a count-down digit. The value 500, seen
// in the frame right after a shot, would give the digit 10, which has no image: it shows 9.
void drawCannonState(int reload) {
  if (reload == 0) {
    drawPlacedSquare(kCannonTexture, -1.0, -5.6, 2.0, 1.0);
    return;
  }
  drawPlacedSquare(kReloadingTexture, -1.25, -5.6, 2.5, 0.5);
  int digit = reload / kReloadPerDigit;
  if (digit > 9) digit = 9;
  if (digit < 0) digit = 0;
  drawPlacedSquare(kDigitTexture + static_cast<GLuint>(digit), -0.25, -5.0, 0.5, 0.5);
}

}  // namespace

void buildPanelLists() {
  hudPanel.labelsList = glGenLists(1);
  glNewList(hudPanel.labelsList, GL_COMPILE);
  drawPlacedSquare(kScoreTexture, 0, -9.5, 1.3, 0.5);
  drawPlacedSquare(kHealthTexture, 0, -7.5, 1.3, 0.5);
  drawPlacedSquare(kKillsTexture, 0, 2.0, 1.3, 0.5);
  drawPlacedSquare(kEscapesTexture, -1.0, 4.0, 2.3, 0.5);
  glEndList();

  hudPanel.gameOverList = glGenLists(1);
  glNewList(hudPanel.gameOverList, GL_COMPILE);
  drawPlacedSquare(kStartTexture, -1.5, 8.0, 3.0, 1.5);
  drawPlacedSquare(kGameOverTexture, -1.5, -1.0, 3.0, 1.0);
  glEndList();
}

void drawPanel(bool gameOver, int score, int health, int reload, int kills, int escapes) {
  glDisable(GL_LIGHTING);
  glEnable(GL_TEXTURE_2D);
  glColor3f(1.0f, 1.0f, 1.0f);
  glCallList(hudPanel.labelsList);
  if (gameOver) glCallList(hudPanel.gameOverList);
  drawScore(score);
  drawHealth(health);
  drawCannonState(reload);
  drawKills(kills);
  drawEscapes(escapes);
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_LIGHTING);
}

namespace {

// A mark's picture, read without the loader's messages: a missing one is reported by the reader
// and leaves the mark out. The mute mark is an icon, smoothed; the word marks are made texel
// for pixel like the labels.
bool loadMark(const char* path, GLuint texture, GLint filter) {
  BitmapImage image;
  if (!readBitmap(path, image)) return false;
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexImage2D(GL_TEXTURE_2D, 0, 3, image.width, image.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
               image.pixels.get());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  return true;
}

void drawMark(GLuint texture, double x, double y, double w, double h) {
  glDisable(GL_LIGHTING);
  glEnable(GL_TEXTURE_2D);
  glColor3f(1.0f, 1.0f, 1.0f);
  drawPlacedSquare(texture, x, y, w, h);
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_LIGHTING);
}

}  // namespace

void loadPanelMarks() {
  muteMarkLoaded = loadMark("./Resources/mute.bmp", kMuteTexture, GL_LINEAR);
  pausedMarkLoaded = loadMark("./Resources/Paused.bmp", kPausedTexture, GL_NEAREST);
  replayMarkLoaded = loadMark("./Resources/Replay.bmp", kReplayTexture, GL_NEAREST);
}

void drawMuteMark() {
  if (muteMarkLoaded) drawMark(kMuteTexture, -0.55, 6.0, 1.1, 1.4);
}

void drawPausedMark() {
  using panelLayout::kPausedMark;
  if (pausedMarkLoaded)
    drawMark(kPausedTexture, kPausedMark.x, kPausedMark.y, kPausedMark.w, kPausedMark.h);
}

void drawReplayMark() {
  using panelLayout::kReplayMark;
  if (replayMarkLoaded)
    drawMark(kReplayTexture, kReplayMark.x, kReplayMark.y, kReplayMark.w, kReplayMark.h);
}

}  // namespace brambleshot
