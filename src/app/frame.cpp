// The display callback: one call draws one frame and advances the world by one step.
#include "app/frame.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "app/best_scores.h"
#include "app/input.h"
#include "app/pads.h"
#include "audio/sound_player.h"
#include "enemies/squadron.h"
#include "panel/panel.h"
#include "tank/tank.h"
#include "world/game.h"
#include "world/lighting.h"

namespace brambleshot {

namespace {

bool replayMarkShown = false;

// Texture coordinates and corners of the help page's quad, in drawing order.
constexpr double kHelpQuad[4][5] = {
    {1, 0, -1, -1, 0}, {1, 1, -1, 1, 0}, {0, 1, 1, 1, 0}, {0, 0, 1, -1, 0}};

void drawHelpQuad() {
  glBegin(GL_QUADS);
  for (const auto& corner : kHelpQuad) {
    glTexCoord2d(corner[0], corner[1]);
    glVertex3d(corner[2], corner[3], corner[4]);
  }
  glEnd();
}

}  // namespace

void drawBackdrop() {
  glDisable(GL_LIGHTING);
  glEnable(GL_TEXTURE_2D);
  glColor3f(1.0f, 1.0f, 1.0f);
  glBindTexture(GL_TEXTURE_2D, kDesertTexture);
  glBegin(GL_QUADS);
  glTexCoord2d(0, 1);
  glVertex3d(8, -4, 5);
  glTexCoord2d(0, 0);
  glVertex3d(8, 8, 5);
  glTexCoord2d(1, 0);
  glVertex3d(-8, 8, 5);
  glTexCoord2d(1, 1);
  glVertex3d(-8, -4, 5);
  glEnd();
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_LIGHTING);
}

void drawHelpOverlay() {
  glDisable(GL_LIGHTING);
  glEnable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glColor3f(1.0f, 1.0f, 1.0f);
  glTranslated(0, 2, 0);
  glScaled(2, 2, 1);
  glBlendFunc(GL_DST_COLOR, GL_ZERO);
  glBindTexture(GL_TEXTURE_2D, kHelpMaskTexture);
  drawHelpQuad();
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glBindTexture(GL_TEXTURE_2D, kHelpTexture);
  drawHelpQuad();
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
}

void showReplayMark(bool shown) {
  replayMarkShown = shown;
}

void setPanelView(int panelWidth) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(game.orthoLeft, game.orthoRight, game.orthoBottom * 10, game.orthoTop * 10,
          -game.farPlane, game.farPlane);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glViewport(0, 0, panelWidth, game.windowHeight);
}

double sceneAspect(int sceneWidth, int height) {
  // A minimised window reports a height (or width) of 0: treat it as 1 so the aspect stays
  // finite and the matrices that aiming un-projects through stay usable.
  const int aspectWidth = sceneWidth > 0 ? sceneWidth : 1;
  const int aspectHeight = height > 0 ? height : 1;
  return static_cast<double>(aspectWidth) / static_cast<double>(aspectHeight);
}

void setSceneView(int panelWidth, int sceneWidth) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(60.0, sceneAspect(sceneWidth, game.windowHeight), game.nearPlane, game.farPlane);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glViewport(panelWidth, 0, sceneWidth, game.windowHeight);
}

void lookThroughCamera() {
  gluLookAt(camera.eye.x, camera.eye.y, camera.eye.z, camera.centre.x, camera.centre.y,
            camera.centre.z, camera.up.x, camera.up.y, camera.up.z);
}

void drawFrame() {
  const int panelWidth = panelWidthFor(game.windowWidth);
  const int sceneWidth = game.windowWidth - panelWidth;

  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  setPanelView(panelWidth);
  drawPanel(squadron.isGameOver(), game.score, tank.health, tank.reload, game.kills, game.escapes);
  if (soundPlayer.isMuted()) drawMuteMark();
  // The help page says the game is paused itself.
  if (game.paused && !game.helpShown) drawPausedMark();
  if (replayMarkShown) drawReplayMark();

  setSceneView(panelWidth, sceneWidth);
  const double aspect = sceneAspect(sceneWidth, game.windowHeight);
  const double scale = boardScale(aspect);
  glPushMatrix();
  lookThroughCamera();
  // Sent after the view transform so the sun's direction stays fixed in the world.
  applyLight(GL_LIGHT0, sunLight);
  drawBackdrop();

  squadron.updateAndDraw(game.paused);
  if (!squadron.isGameOver()) {
    if (!game.paused) {
      tank.updateCannon();
      tank.updateGuns();
    }
    tank.draw();
  } else if (!game.helpShown) {
    drawBestScores(scale);  // the help page stands alone
    if (padConnected()) drawPadHint(aspect);
  }
  if (gameWaitsUnderHelp()) drawPlayOnHint(scale);
  if (game.helpShown) drawHelpOverlay();
  glPopMatrix();
}

bool windowPointOf(double x, double y, int& windowX, int& windowY) {
  double modelview[16], projection[16];
  GLint viewport[4];
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  lookThroughCamera();
  glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
  glPopMatrix();
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  double wx = 0, wy = 0, wz = 0;
  if (gluProject(x, y, 0.0, modelview, projection, viewport, &wx, &wy, &wz) != GL_TRUE)
    return false;
  windowX = static_cast<int>(std::lround(wx));
  windowY = game.windowHeight - 1 - static_cast<int>(std::lround(wy));
  return true;
}

void updateSound() {
  double x[SoundPlayer::kTrackedAircraft];
  int count = 0;
  for (const Aircraft& plane : squadron.aircraft)
    if (count < SoundPlayer::kTrackedAircraft) x[count++] = plane.x;
  soundPlayer.update(x, count);
}

namespace {
bool framePending = false;  // drawn and flushed, to be shown after the idle callback's sleep
}  // namespace

// A finished game is entered (a write, an fsync and perhaps a wait for the lock) only once the
// frame is on the screen, never while one is drawn.
void onDisplay() {
  drawFrame();
  updateSound();
  if (game.paused) {
    // No idle call follows while paused: a frame drawn in answer to input shows at once, and a
    // game that ended just before the pause is entered after it, its card in the next frame.
    glutSwapBuffers();
    if (noteFinishedGame()) glutPostRedisplay();
    return;
  }
  // The renderer's threads fill the frame while the idle callback sleeps; it then shows it.
  glFlush();
  framePending = true;
}

void presentPendingFrame() {
  if (!framePending) return;
  framePending = false;
  glutSwapBuffers();
  noteFinishedGame();
}

}  // namespace brambleshot
