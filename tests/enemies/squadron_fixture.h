// A fresh squadron per GL test on shared display lists, drawn in an 800 x 600 window.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "enemies/squadron.h"
#include "support/gl_env.h"
#include "world/random.h"

namespace enemytest {

class SquadronGl : public ::testing::Test {
 protected:
  static inline std::vector<std::array<double, 3>> blasts;  // every hitTest call: x, y, radius

  brambleshot::Squadron s;
  int score = 0, kills = 0, escapes = 0;

  void SetUp() override {
    static const brambleshot::Squadron* shapes = [] {  // untextured, built once for every test
      auto* g = new brambleshot::Squadron;
      g->quadric = gluNewQuadric();
      g->buildBombList();
      g->buildExplosionList();
      return g;
    }();
    s.quadric = shapes->quadric;
    s.bombList = shapes->bombList;
    s.explosionList = shapes->explosionList;
    s.score = &score;
    s.kills = &kills;
    s.escapes = &escapes;
    s.hitTest = [](const double centre[2], double radius) {
      blasts.push_back({centre[0], centre[1], radius});
      return false;
    };
    blasts.clear();
    brambleshot::srand(299);  // its first 40 draws are all above 1000: no stray bombs
    glDisable(GL_LIGHT4);
    testenv::resizeWindow(800, 600);
    glViewport(0, 0, 800, 600);  // identity matrices: the window shows -1..1 of the play plane
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }

  void frames(int n, bool paused = false) {
    for (int i = 0; i < n; ++i)
      s.updateAndDraw(paused);
  }
  brambleshot::Aircraft& addAircraft(double x, double y, double speed = 0, int hitPoints = 200) {
    s.inFlight += 1;
    return s.aircraft.emplace_back(
        brambleshot::Aircraft{.x = x, .y = y, .speed = speed, .hitPoints = hitPoints});
  }
  brambleshot::Bomb& addBomb(double x, double y) {
    return s.bombs.emplace_back(brambleshot::Bomb{.x = x, .y = y});
  }
  static bool light4On() { return glIsEnabled(GL_LIGHT4) == GL_TRUE; }
};

}  // namespace enemytest
