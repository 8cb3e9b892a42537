// Small double-precision vectors: face normals, the camera and the tank's aiming.
#pragma once

namespace brambleshot {

struct Vec3 {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;

  Vec3& clear();
  Vec3& set(double newX, double newY, double newZ);
  // Scales to unit length. A zero (or non-finite) vector becomes (0, 0, 0) instead of NaN.
  void normalize();
  // out = this x other (right-handed). out must be neither this nor other.
  void cross(const Vec3& other, Vec3& out) const;
};

struct Vec2 {
  double x = 0.0;
  double y = 0.0;

  Vec2& clear();
  // Unsigned angle to other in radians, 0..pi. 0 when either vector has no length.
  double angleTo(const Vec2& other) const;
};

}  // namespace brambleshot
