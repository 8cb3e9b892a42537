// Hit boxes of the tank, aircraft and bombs: open rectangles from the records' outline corners.
#pragma once

namespace brambleshot {

struct HitBox {
  double left, right, bottom, top;
};

// The outline's corners are bottom-left, top-left, top-right, bottom-right, relative to (x, y).
inline HitBox hitBoxAt(double x, double y, const double (&outline)[4][2]) {
  return {x + outline[0][0], x + outline[2][0], y + outline[0][1], y + outline[1][1]};
}

template <typename Target>
HitBox hitBoxOf(const Target& t) {
  return hitBoxAt(t.x, t.y, t.hitOutline);
}

// Strictly inside on both axes: a point on an edge misses.
template <typename Target>
bool hitBoxContains(const Target& t, const double p[2]) {
  const HitBox box = hitBoxOf(t);
  return box.left < p[0] && p[0] < box.right && box.bottom < p[1] && p[1] < box.top;
}

// The open square of half-side r around c overlaps the box; touching edges do not count.
inline bool overlapsSquare(const HitBox& box, const double c[2], double r) {
  return box.left < c[0] + r && box.right > c[0] - r && box.bottom < c[1] + r && box.top > c[1] - r;
}

template <typename Target>
bool hitBoxOverlapsSquare(const Target& t, const double c[2], double r) {
  return overlapsSquare(hitBoxOf(t), c, r);
}

}  // namespace brambleshot
