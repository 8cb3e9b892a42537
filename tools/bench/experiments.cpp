// Each experiment draws into the back buffer (never shown) under the scene's camera, with the
// lights of a peak frame switched on, and times one drawing + glFinish per repetition.
#include "experiments.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <functional>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/game.h"
#include "app/lighting.h"
#include "enemies/squadron.h"
#include "tank/tank.h"
#include "timing.h"

namespace bench {

namespace {

using namespace brambleshot;

Figure timeDrawing(int repetitions, const std::function<void()>& draw) {
  std::vector<double> ms;
  for (int i = 0; i < repetitions + 10; ++i) {
    const auto start = Clock::now();
    draw();
    glFinish();
    if (i >= 10) ms.push_back(millisecondsSince(start));
  }
  return summarise(ms);
}

GLuint compile(const std::function<void()>& draw) {
  const GLuint list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  draw();
  glEndList();
  return list;
}

void add(Report& report, const std::string& key, const std::string& label, const Figure& f) {
  report.add({"experiment_" + key + "_ms", "  what-if: " + label, "ms", f, "", {}, 3});
}

}  // namespace

void runExperiments(int repetitions, Report& report) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glPushMatrix();
  gluLookAt(camera.eye.x, camera.eye.y, camera.eye.z, camera.centre.x, camera.centre.y,
            camera.centre.z, camera.up.x, camera.up.y, camera.up.z);
  applyLight(GL_LIGHT0, sunLight);
  for (GLenum light : {GL_LIGHT1, GL_LIGHT2, GL_LIGHT3, GL_LIGHT4})
    glEnable(light);

  // The dome and the six cylinders (guns, cannon, shell) that GLU and freeglut rebuild per call.
  GLUquadric* quadric = gluNewQuadric();
  gluQuadricNormals(quadric, GLU_SMOOTH);
  auto solids = [&] {
    glPushMatrix();
    glTranslated(0.0, 0.5, 0.0);
    glutSolidSphere(0.18, 16, 16);
    for (int i = 0; i < 6; ++i) {
      glTranslated(0.1, 0.0, 0.0);
      gluCylinder(quadric, 0.04, 0.04, 0.3, 16, 16);
    }
    glPopMatrix();
  };
  const GLuint solidList = compile(solids);
  add(report, "tank_solids_immediate", "dome + 6 cylinders, rebuilt per call",
      timeDrawing(repetitions, solids));
  add(report, "tank_solids_list", "the same from a display list",
      timeDrawing(repetitions, [&] { glCallList(solidList); }));
  gluDeleteQuadric(quadric);

  // The backdrop is the farthest thing drawn: its depth test and depth writes decide nothing.
  add(report, "backdrop", "backdrop as now (depth test on)",
      timeDrawing(repetitions, [] { drawBackdrop(); }));
  add(report, "backdrop_no_depth", "backdrop without depth test", timeDrawing(repetitions, [] {
        glDisable(GL_DEPTH_TEST);
        drawBackdrop();
        glEnable(GL_DEPTH_TEST);
      }));

  // Where the bombs' time goes: the same 20 bombs under the five lights of a peak frame and
  // under the sun alone (a diagnosis, not a proposal: the pixels differ).
  auto bombs = [] {
    for (int i = 0; i < 20; ++i) {
      glPushMatrix();
      glTranslated(-2.25 + 0.5 * (i % 10), i < 10 ? 1.8 : 2.35, 0);
      glCallList(squadron.bombList);
      glPopMatrix();
    }
  };
  add(report, "bombs_five_lights", "20 bombs, five lights", timeDrawing(repetitions, bombs));
  for (GLenum light : {GL_LIGHT1, GL_LIGHT2, GL_LIGHT3, GL_LIGHT4})
    glDisable(light);
  add(report, "bombs_sun_only", "20 bombs, sun only (diagnosis)", timeDrawing(repetitions, bombs));
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  add(report, "bombs_no_pixels", "20 bombs, unlit, no pixels written (diagnosis)",
      timeDrawing(repetitions, bombs));
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
  add(report, "help", "help page", timeDrawing(repetitions, [] {
        glPushMatrix();
        drawHelpOverlay();
        glPopMatrix();
      }));

  glDeleteLists(solidList, 1);
  glPopMatrix();
}

}  // namespace bench
