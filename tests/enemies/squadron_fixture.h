// A fresh squadron per GL test, sharing one set of display lists, drawn under the game's camera.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "app/game.h"
#include "app/lighting.h"
#include "app/random.h"
#include "enemies/squadron.h"
#include "support/gl_env.h"

namespace enemytest {

using brambleshot::Aircraft;
using brambleshot::Bomb;
using brambleshot::Explosion;
using brambleshot::Squadron;

// One squadron set up by the real init, whose quadric and display lists every test borrows.
inline const Squadron& sharedGraphics() {
  static int score = 0, kills = 0, escapes = 0;
  static Squadron* graphics = [] {
    auto* s = new Squadron;
    if (std::filesystem::exists("./Resources/bomb.bmp") &&
        std::filesystem::exists("./Resources/explosion.bmp")) {
      s->init(nullptr, score, kills, escapes);
    } else {
      // Images not generated yet: the same shapes, untextured.
      s->quadric = gluNewQuadric();
      gluQuadricNormals(s->quadric, GLU_SMOOTH);
      s->aircraftList = glGenLists(1);
      glNewList(s->aircraftList, GL_COMPILE);
      glEndList();
      s->buildBombList();
      s->buildExplosionList();
    }
    return s;
  }();
  return *graphics;
}

// Gives target the shared GL resources and the given counters; leaves the game running.
inline void equip(Squadron& target, int& score, int& kills, int& escapes,
                  brambleshot::HitTest test) {
  const Squadron& g = sharedGraphics();
  target.quadric = g.quadric;
  target.aircraftList = g.aircraftList;
  target.bombList = g.bombList;
  target.explosionList = g.explosionList;
  target.score = &score;
  target.kills = &kills;
  target.escapes = &escapes;
  target.hitTest = test;
  target.gameOver = false;
  target.explosionLightOn = false;
}

// The scene viewport, projection and camera of a frame in an 800 x 600 window.
inline void beginScene() {
  using brambleshot::camera;
  glViewport(100, 0, 700, 600);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(60.0, 700.0 / 600.0, 0.5, 10.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(camera.eye.x, camera.eye.y, camera.eye.z, camera.centre.x, camera.centre.y,
            camera.centre.z, camera.up.x, camera.up.y, camera.up.z);
}

// Window pixel of a point in the play plane under the scene set up by beginScene.
inline void project(double x, double y, int& px, int& py) {
  GLdouble model[16], proj[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, proj);
  glGetIntegerv(GL_VIEWPORT, viewport);
  GLdouble wx = 0, wy = 0, wz = 0;
  gluProject(x, y, 0.0, model, proj, viewport, &wx, &wy, &wz);
  px = static_cast<int>(wx);
  py = static_cast<int>(wy);
}

struct BlastCall {
  double x, y, radius;
};

class SquadronGl : public ::testing::Test {
 protected:
  static inline std::vector<BlastCall> blasts;  // every hitTest call, in order
  static inline bool tankDestroyed = false;     // what the test's hitTest answers

  static bool recordBlast(const double centre[2], double radius) {
    blasts.push_back({centre[0], centre[1], radius});
    return tankDestroyed;
  }

  Squadron s;
  int score = 0;
  int kills = 0;
  int escapes = 0;

  void SetUp() override {
    testenv::resizeWindow(800, 600);
    equip(s, score, kills, escapes, recordBlast);
    blasts.clear();
    tankDestroyed = false;
    brambleshot::srand(299);  // its first 40 draws are all above 1000: no stray bombs
    std::copy(std::begin(brambleshot::explosionLight.position),
              std::end(brambleshot::explosionLight.position), savedLightPosition);
    glDisable(GL_LIGHT4);
    beginScene();
  }
  void TearDown() override {
    glDisable(GL_LIGHT4);
    std::copy(std::begin(savedLightPosition), std::end(savedLightPosition),
              brambleshot::explosionLight.position);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }

  void frames(int n, bool paused = false) {
    for (int i = 0; i < n; ++i)
      s.updateAndDraw(paused);
  }
  Aircraft& addAircraft(double x, double y, double speed = 0.0, int hitPoints = 200) {
    Aircraft plane;
    plane.x = x;
    plane.y = y;
    plane.speed = speed;
    plane.hitPoints = hitPoints;
    s.aircraft.push_back(plane);
    s.inFlight += 1;
    return s.aircraft.back();
  }
  Bomb& addBomb(double x, double y) {
    Bomb bomb;
    bomb.x = x;
    bomb.y = y;
    s.bombs.push_back(bomb);
    return s.bombs.back();
  }
  static bool light4On() { return glIsEnabled(GL_LIGHT4) == GL_TRUE; }

 private:
  float savedLightPosition[4] = {};
};

}  // namespace enemytest
