// The player's tank: state, steering, damage, aiming, the cannon and the two light guns.
//
// World frame: play plane z = 0, ground y = 0, +x on the screen's left. Angles in degrees,
// time in frames.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>

#include "assets/mesh.h"
#include "assets/textures.h"

namespace brambleshot {

struct Camera;

struct Tank {
  double x = 0.0;  // along the ground; changed only by steer and reset
  double y = 0.0;  // height of the tank's origin; -0.1 after init
  Mesh hull;
  Mesh wheels[4];
  GLUquadric* quadric = nullptr;  // shared by every cylinder the tank draws
  int health = 0;                 // hit points; destroyed at 0 or below
  bool gunsFiring = false;        // the left mouse button is held
  int reload = 0;                 // frames until the cannon may fire again; 0 = ready
  bool shellInFlight = false;
  double shellX = 0.0;
  double shellY = 0.0;
  double shellHeading = 0.0;  // degrees
  GLuint reticleList = 0;
  GLuint flashList = 0;
  GLuint shapeLists = 0;  // first of the solid shapes' lists: dome, barrels, shell
  double outline[4][2] = {{-0.41, -0.28}, {-0.41, 0.2}, {0.41, 0.2}, {0.41, -0.28}};  // hit box
  double aimX = 0.0;  // aim point in the play plane
  double aimY = 0.0;
  double pointerX = 0.0;  // last pointer position in window pixels, y from the bottom row
  double pointerY = 0.0;
  double leftGunAngle = 0.0;  // elevations, 0 (+x) to 180 (-x)
  double rightGunAngle = 0.0;
  double cannonAngle = 0.0;
  int gunPhase = 0;  // step 0..3 of the light-gun burst cycle

  void init(const Camera& camera);
  void reset();
  // direction -1 ('a') moves towards +x (screen left), +1 ('d') towards -x.
  void steer(int direction, const Camera& camera);
  void aim(double windowX, double windowY, const Camera& camera);
  void fire();
  void updateCannon();
  void updateGuns();
  // Takes 50 health if the blast square touches the hull box; true when the tank is destroyed.
  bool blastTest(const double centre[2], double radius);
  void draw();
  // Compiles flashList, reticleList and the shape lists (called by init once the tank's
  // images are loaded and its quadric made).
  void buildDisplayLists();
};

}  // namespace brambleshot
