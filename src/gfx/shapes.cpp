// The shapes' tessellation, from their geometry: rings of slices around z, stacks along it.
#include "gfx/shapes.h"

#include <GL/gl.h>

#include <cmath>
#include <vector>

namespace brambleshot::gfx {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kMaxSlices = 1024;  // more is refused, as GLU caches at most this many

// The sines and cosines of the slice angles 2 pi j / slices, j = 0..slices (the last one
// repeating the first exactly so that the seam closes). GLU computes them in float.
struct Ring {
  float sine[kMaxSlices + 1];
  float cosine[kMaxSlices + 1];
  explicit Ring(int slices) {
    for (int j = 0; j < slices; ++j) {
      const float angle = static_cast<float>(2 * kPi * j / slices);
      sine[j] = std::sin(angle);
      cosine[j] = std::cos(angle);
    }
    sine[slices] = sine[0];
    cosine[slices] = cosine[0];
  }
};

}  // namespace

void cylinder(Context& gl, const Quadric& q, double base, double top, double height, int slices,
              int stacks) {
  if (slices < 2 || stacks < 1 || slices > kMaxSlices || base < 0 || top < 0 || height < 0) return;
  const Ring ring(slices);
  // The side's normal leans back by the slope of the side.
  const float length = static_cast<float>(std::sqrt(height * height + (base - top) * (base - top)));
  if (length == 0.0f) return;
  const float xyNormal = static_cast<float>(height) / length;
  const float zNormal = static_cast<float>(base - top) / length;
  const float radiusStep = static_cast<float>((base - top) / stacks);
  const float zStep = static_cast<float>(height / stacks);
  for (int k = 0; k < stacks; ++k) {
    const float radiusLow = static_cast<float>(base) - radiusStep * static_cast<float>(k);
    const float radiusHigh = static_cast<float>(base) - radiusStep * static_cast<float>(k + 1);
    const float zLow = zStep * static_cast<float>(k);
    const float zHigh = zStep * static_cast<float>(k + 1);
    gl.begin(GL_QUAD_STRIP);
    for (int j = 0; j <= slices; ++j) {
      if (q.normals != Quadric::Normals::none)
        gl.normal(ring.sine[j] * xyNormal, ring.cosine[j] * xyNormal, zNormal);
      const float s = 1.0f - static_cast<float>(j) / static_cast<float>(slices);
      if (q.texture) gl.texCoord(s, static_cast<float>(k) / static_cast<float>(stacks));
      gl.vertex(radiusLow * ring.sine[j], radiusLow * ring.cosine[j], zLow);
      if (q.texture) gl.texCoord(s, static_cast<float>(k + 1) / static_cast<float>(stacks));
      gl.vertex(radiusHigh * ring.sine[j], radiusHigh * ring.cosine[j], zHigh);
    }
    gl.end();
  }
}

void sphere(Context& gl, const Quadric& q, double radius, int slices, int stacks) {
  if (slices < 2 || stacks < 1 || slices > kMaxSlices || radius < 0) return;
  const Ring ring(slices);
  const bool normals = q.normals != Quadric::Normals::none;
  // Ring i of stacks + 1, from the north pole (i = 0) to the south pole (i = stacks).
  auto ringSine = [&](int i) {
    return i == stacks ? 0.0f : std::sin(static_cast<float>(kPi * i / stacks));  // poles exact
  };
  auto ringCosine = [&](int i) { return std::cos(static_cast<float>(kPi * i / stacks)); };
  const float r = static_cast<float>(radius);
  auto point = [&](int i, int j) {
    const float sine = ringSine(i);
    const float x = ring.sine[j] * sine;
    const float y = ring.cosine[j] * sine;
    const float z = ringCosine(i);
    if (normals) gl.normal(x, y, z);
    gl.vertex(x * r, y * r, z * r);
  };
  int firstStrip = 0;
  int lastStrip = stacks;
  if (!q.texture) {
    // Without texture coordinates the caps are fans around the poles.
    if (normals) gl.normal(0, 0, 1);
    gl.begin(GL_TRIANGLE_FAN);
    gl.vertex(0, 0, r);
    for (int j = slices; j >= 0; --j)
      point(1, j);
    gl.end();
    if (normals) gl.normal(0, 0, -1);
    gl.begin(GL_TRIANGLE_FAN);
    gl.vertex(0, 0, -r);
    for (int j = 0; j <= slices; ++j)
      point(stacks - 1, j);
    gl.end();
    firstStrip = 1;
    lastStrip = stacks - 1;
  }
  for (int i = firstStrip; i < lastStrip; ++i) {
    gl.begin(GL_QUAD_STRIP);
    for (int j = 0; j <= slices; ++j) {
      const float s = 1.0f - static_cast<float>(j) / static_cast<float>(slices);
      if (q.texture) gl.texCoord(s, 1.0f - static_cast<float>(i + 1) / static_cast<float>(stacks));
      point(i + 1, j);
      if (q.texture) gl.texCoord(s, 1.0f - static_cast<float>(i) / static_cast<float>(stacks));
      point(i, j);
    }
    gl.end();
  }
}

void solidSphere(Context& gl, double radius, int slices, int stacks) {
  if (slices < 2 || stacks < 2 || slices > kMaxSlices) return;
  // Ring angles run the other way round from GLU's, starting on +x.
  std::vector<float> ringX(static_cast<std::size_t>(slices) + 1);
  std::vector<float> ringY(ringX.size());
  for (int j = 0; j < slices; ++j) {
    const float angle = static_cast<float>(2 * kPi * j / slices);
    ringX[j] = std::cos(angle);
    ringY[j] = -std::sin(angle);
  }
  ringX[slices] = ringX[0];
  ringY[slices] = ringY[0];
  const float r = static_cast<float>(radius);
  auto point = [&](int i, int j) {
    const float polar = static_cast<float>(kPi * i / stacks);
    float sine = std::sin(polar);
    float z = std::cos(polar);
    if (i == 0 || i == stacks) sine = 0.0f;
    const float x = j < 0 ? 0.0f : ringX[j] * sine;
    const float y = j < 0 ? 0.0f : ringY[j] * sine;
    gl.normal(x, y, z);
    gl.vertex(x * r, y * r, z * r);
  };
  for (int i = 0; i < stacks; ++i) {
    gl.begin(GL_TRIANGLE_STRIP);
    for (int j = 0; j <= slices; ++j) {
      if (i == stacks - 1) {
        point(stacks, -1);
        point(i, j);
      } else {
        point(i + 1, j);
        point(i, i == 0 ? -1 : j);
      }
    }
    gl.end();
  }
}

}  // namespace brambleshot::gfx
