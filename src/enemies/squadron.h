// The enemy side: aircraft, bombs, explosions, the score counters and the game-over flag.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstddef>
#include <vector>

#include "assets/mesh.h"
#include "assets/textures.h"

namespace brambleshot {

// Asked by every blast frame with the blast's centre and radius; true = the tank is destroyed.
using HitTest = bool (*)(const double centre[2], double radius);

struct Aircraft {
  double x = 0.0;
  double y = 0.0;
  double hitOutline[4][2] = {{-0.45, -0.1}, {-0.45, 0.2}, {0.6, 0.2}, {0.6, -0.1}};
  double speed = 0.0;  // x advance per frame
  int hitPoints = 200;
  bool dead = false;
};

struct Bomb {
  double x = 0.0;
  double y = 0.0;
  double spin = 0.0;  // degrees about the vertical axis, +1 per frame
  double hitOutline[4][2] = {{-0.06, -0.2}, {-0.06, 0.18}, {0.06, 0.18}, {0.06, -0.2}};
  int hitPoints = 50;
  bool dead = false;
};

struct Explosion {
  double x = 0.0;
  double y = 0.0;
  double radius = 0.0;
  double maxRadius = 0.0;
  bool damaging = false;
};

struct Squadron {
  int* score = nullptr;  // the shell's counters, set by init
  int* kills = nullptr;
  int* escapes = nullptr;
  bool gameOver = false;
  HitTest hitTest = nullptr;
  bool explosionLightOn = false;  // GL_LIGHT4 is lit for a large explosion
  GLUquadric* quadric = nullptr;
  Mesh aircraftMesh;
  GLuint aircraftList = 0;
  GLuint bombList = 0;
  GLuint explosionList = 0;
  int inFlight = 0;   // launched and neither destroyed nor escaped; never reset
  int gunStreak = 0;  // gun hits since the last gunfire call that hit nothing
  std::vector<Aircraft> aircraft;
  std::vector<Bomb> bombs;
  std::vector<Explosion> explosions;

  void init(HitTest test, int& scoreCounter, int& killCounter, int& escapeCounter);
  bool isGameOver() const { return gameOver; }
  void clearGameOver() { gameOver = false; }
  void launchAircraft();
  void updateAndDraw(bool paused);
  void gunfire(const double aimPoint[2]);
  bool shellImpact(const double position[2]);
  void spawnExplosion(const double position[2], double maxRadius, bool damaging);

  // The pieces of the operations above. Every pass that can append to the array it walks goes
  // by index and reads the length afresh, and holds no reference across a call that appends.
  void explosionPass(bool paused);
  void aircraftPass(bool paused);
  void bombPass(bool paused);
  void advance(std::size_t index);  // one unpaused frame of aircraft[index], with its bomb chance
  int bombThreshold() const;        // out of 32768, by the score band
  void dropBomb(const Aircraft& plane);
  void applyBlast(const double centre[2], double radius);
  void removeDeadAircraft();
  void removeDeadBombs();
  void removeFinishedExplosions();
  void addScore(int amount);  // no change while the game is over
  // A target falls: its points, the count, and a damaging explosion where it was.
  void destroyAircraft(std::size_t index, int points);
  void destroyBomb(std::size_t index, int points);
  void buildBombList();
  void buildExplosionList();
};

}  // namespace brambleshot
