// Vector helpers.
#include "assets/vec.h"

#include <cmath>

#include "host/exact_math.h"

namespace brambleshot {

Vec3& Vec3::clear() {
  x = y = z = 0.0;
  return *this;
}

Vec3& Vec3::set(double newX, double newY, double newZ) {
  x = newX;
  y = newY;
  z = newZ;
  return *this;
}

void Vec3::normalize() {
  const double length = std::sqrt(x * x + y * y + z * z);
  if (!(length > 0.0) || !std::isfinite(length)) {
    // A degenerate face or an unused vertex: no direction, and no NaN to spread.
    clear();
    return;
  }
  const double k = 1.0 / length;
  x *= k;
  y *= k;
  z *= k;
}

void Vec3::cross(const Vec3& other, Vec3& out) const {
  out.x = y * other.z - other.y * z;
  out.y = other.x * z - x * other.z;
  out.z = other.y * x - other.x * y;
}

Vec2& Vec2::clear() {
  x = y = 0.0;
  return *this;
}

double Vec2::angleTo(const Vec2& other) const {
  const double lengths =
      std::sqrt(other.x * other.x + other.y * other.y) * std::sqrt(x * x + y * y);
  if (!(lengths > 0.0)) return 0.0;
  const double cosine = (x * other.x + y * other.y) / lengths;
  if (cosine > 1.0) return 0.0;
  if (cosine < -1.0) return host::exactAcos(-1.0);  // rounding past the opposite direction
  if (std::isnan(cosine)) return 0.0;
  return host::exactAcos(cosine);
}

}  // namespace brambleshot
