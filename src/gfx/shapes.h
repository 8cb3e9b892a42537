// GLU's quadrics and GLUT's solid sphere, built by the drawing layer: the same vertices,
// normals, texture coordinates and strip order as the system libraries give for the same
// slices and stacks, drawn through a Context (so display lists record them like any call).
#pragma once

#include "gfx/context.h"

namespace brambleshot::gfx {

// gluNewQuadric's settings that the game uses.
struct Quadric {
  enum class Normals { none, flat, smooth };
  Normals normals = Normals::smooth;
  bool texture = false;
};

// A sphere about the origin: slices around the z axis, stacks from +z down to -z.
void sphere(Context& gl, const Quadric& quadric, double radius, int slices, int stacks);
// A cylinder (or cone) along +z from base (z = 0) to top (z = height), open at both ends.
void cylinder(Context& gl, const Quadric& quadric, double base, double top, double height,
              int slices, int stacks);
// glutSolidSphere: a lit, untextured sphere of triangle strips.
void solidSphere(Context& gl, double radius, int slices, int stacks);

}  // namespace brambleshot::gfx
