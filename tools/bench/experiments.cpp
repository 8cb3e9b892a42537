// Each experiment times one drawing + glFinish per repetition. The drawings other than the
// whole frame go into the back buffer (never shown) under the scene's camera, with the lights
// of a peak frame switched on.
#include "experiments.h"

#include <GL/freeglut.h>
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <functional>
#include <string>
#include <vector>

#include "app/frame.h"
#include "enemies/squadron.h"
#include "timing.h"
#include "world/game.h"
#include "world/lighting.h"

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

void add(Report& report, const std::string& key, const std::string& label, const Figure& f) {
  report.add({"experiment_" + key + "_ms", "  diagnosis: " + label, "ms", f, "", {}, 3});
}

}  // namespace

void runExperiments(int repetitions, const std::function<void()>& peakFrame, Report& report) {
  // With rasterisation switched off GL still transforms, lights and clips every vertex: the
  // difference to the full frame is llvmpipe filling pixels, which only less geometry or fewer
  // pixels would reduce.
  add(report, "peak_without_raster", "peak frame without rasterisation",
      timeDrawing(repetitions, [&] {
        glEnable(GL_RASTERIZER_DISCARD);
        peakFrame();
        glDisable(GL_RASTERIZER_DISCARD);
      }));

  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glPushMatrix();
  lookThroughCamera();
  applyLight(GL_LIGHT0, sunLight);
  for (GLenum light : {GL_LIGHT1, GL_LIGHT2, GL_LIGHT3, GL_LIGHT4})
    glEnable(light);

  // What the lights cost: the same 20 bombs under the five lights of a peak frame and under
  // the sun alone (not a proposal: the pixels differ).
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
  add(report, "bombs_sun_only", "20 bombs, sun only", timeDrawing(repetitions, bombs));
  glPopMatrix();
}

}  // namespace bench
