// The transforms of GL 1.x and GLU, built from their definitions.
#include "gfx/matrix.h"

#include <cmath>

namespace brambleshot::gfx {

namespace {

constexpr double kPi = 3.14159265358979323846;

Mat4 fromRows(std::array<double, 16> rows) {
  Mat4 r;
  for (int row = 0; row < 4; ++row)
    for (int column = 0; column < 4; ++column)
      r(row, column) = rows[row * 4 + column];
  return r;
}

}  // namespace

Mat4 Mat4::fromColumns(const double* columnMajor) {
  Mat4 r;
  for (int i = 0; i < 16; ++i)
    r.m[i] = columnMajor[i];
  return r;
}

Mat4 operator*(const Mat4& a, const Mat4& b) {
  Mat4 r;
  for (int row = 0; row < 4; ++row)
    for (int column = 0; column < 4; ++column) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k)
        sum += a(row, k) * b(k, column);
      r(row, column) = sum;
    }
  return r;
}

Vec4 operator*(const Mat4& a, const Vec4& v) {
  return {a(0, 0) * v.x + a(0, 1) * v.y + a(0, 2) * v.z + a(0, 3) * v.w,
          a(1, 0) * v.x + a(1, 1) * v.y + a(1, 2) * v.z + a(1, 3) * v.w,
          a(2, 0) * v.x + a(2, 1) * v.y + a(2, 2) * v.z + a(2, 3) * v.w,
          a(3, 0) * v.x + a(3, 1) * v.y + a(3, 2) * v.z + a(3, 3) * v.w};
}

Mat4 translation(double x, double y, double z) {
  return fromRows({1, 0, 0, x, 0, 1, 0, y, 0, 0, 1, z, 0, 0, 0, 1});
}

Mat4 scaling(double x, double y, double z) {
  return fromRows({x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1});
}

Mat4 rotation(double degrees, double axisX, double axisY, double axisZ) {
  // GL builds it in single precision, with exact zeros and ones about a principal axis.
  const auto angle = static_cast<float>(static_cast<float>(degrees) * kPi / 180.0);
  float s = std::sin(angle);
  const float c = std::cos(angle);
  float x = static_cast<float>(axisX), y = static_cast<float>(axisY), z = static_cast<float>(axisZ);
  Mat4 r;
  if (x == 0.0f && y == 0.0f && z != 0.0f) {
    if (z < 0.0f) s = -s;
    r(0, 0) = c, r(1, 1) = c, r(1, 0) = s, r(0, 1) = -s;
    return r;
  }
  if (x == 0.0f && z == 0.0f && y != 0.0f) {
    if (y < 0.0f) s = -s;
    r(0, 0) = c, r(2, 2) = c, r(0, 2) = s, r(2, 0) = -s;
    return r;
  }
  if (y == 0.0f && z == 0.0f && x != 0.0f) {
    if (x < 0.0f) s = -s;
    r(1, 1) = c, r(2, 2) = c, r(2, 1) = s, r(1, 2) = -s;
    return r;
  }
  const float length = std::sqrt(x * x + y * y + z * z);
  if (length <= 1.0e-4f) return r;  // no axis: no rotation
  x /= length;
  y /= length;
  z /= length;
  const float t = 1.0f - c;
  r(0, 0) = t * (x * x) + c, r(0, 1) = t * (x * y) - z * s, r(0, 2) = t * (z * x) + y * s;
  r(1, 0) = t * (x * y) + z * s, r(1, 1) = t * (y * y) + c, r(1, 2) = t * (y * z) - x * s;
  r(2, 0) = t * (z * x) - y * s, r(2, 1) = t * (y * z) + x * s, r(2, 2) = t * (z * z) + c;
  return r;
}

Mat4 ortho(double left, double right, double bottom, double top, double zNear, double zFar) {
  // Single precision too, from the arguments rounded to floats.
  const auto l = static_cast<float>(left), r = static_cast<float>(right);
  const auto b = static_cast<float>(bottom), t = static_cast<float>(top);
  const auto n = static_cast<float>(zNear), f = static_cast<float>(zFar);
  if (l == r || b == t || n == f) return Mat4{};               // GL_INVALID_VALUE: nothing changes
  return fromRows({2.0f / (r - l), 0, 0, -(r + l) / (r - l),   //
                   0, 2.0f / (t - b), 0, -(t + b) / (t - b),   //
                   0, 0, -2.0f / (f - n), -(f + n) / (f - n),  //
                   0, 0, 0, 1});
}

Mat4 perspective(double fovyDegrees, double aspect, double n, double f) {
  const double radians = fovyDegrees / 2 * kPi / 180.0;
  const double sine = std::sin(radians);
  if (f == n || sine == 0.0 || aspect == 0.0) return Mat4{};  // GLU leaves the matrix alone
  const double cotangent = std::cos(radians) / sine;
  return fromRows({cotangent / aspect, 0, 0, 0,                     //
                   0, cotangent, 0, 0,                              //
                   0, 0, -(f + n) / (f - n), -2 * n * f / (f - n),  //
                   0, 0, -1, 0});
}

Mat4 lookAt(double ex, double ey, double ez, double cx, double cy, double cz, double ux, double uy,
            double uz) {
  // GLU works this one out in single precision, then translates by the eye in double.
  auto normalise = [](float v[3]) {
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length == 0.0) return;
    for (int i = 0; i < 3; ++i)
      v[i] = static_cast<float>(v[i] / length);
  };
  auto cross = [](const float a[3], const float b[3], float out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
  };
  float forward[3] = {static_cast<float>(cx - ex), static_cast<float>(cy - ey),
                      static_cast<float>(cz - ez)};
  float up[3] = {static_cast<float>(ux), static_cast<float>(uy), static_cast<float>(uz)};
  float side[3];
  normalise(forward);
  cross(forward, up, side);
  normalise(side);
  cross(side, forward, up);
  return fromRows({side[0], side[1], side[2], 0, up[0], up[1], up[2], 0, -forward[0], -forward[1],
                   -forward[2], 0, 0, 0, 0, 1});
}

bool invert(const Mat4& a, Mat4& out) {
  // The adjugate over the determinant, expanded along the first row.
  const double* m = a.m.data();
  double inv[16];
  inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] + m[9] * m[7] * m[14] +
           m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
  inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] -
           m[8] * m[7] * m[14] - m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
  inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] + m[8] * m[7] * m[13] +
           m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
  inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] -
            m[8] * m[6] * m[13] - m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
  inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] -
           m[9] * m[3] * m[14] - m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
  inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] + m[8] * m[3] * m[14] +
           m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
  inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] - m[8] * m[3] * m[13] -
           m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
  inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] + m[8] * m[2] * m[13] +
            m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
  inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] + m[5] * m[3] * m[14] +
           m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
  inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] - m[4] * m[3] * m[14] -
           m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
  inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] + m[4] * m[3] * m[13] +
            m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
  inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] - m[4] * m[2] * m[13] -
            m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
  inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] - m[5] * m[3] * m[10] -
           m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
  inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] + m[4] * m[3] * m[10] +
           m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
  inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] - m[4] * m[3] * m[9] -
            m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
  inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] + m[4] * m[2] * m[9] +
            m[8] * m[1] * m[6] - m[8] * m[2] * m[5];
  double determinant = m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
  if (determinant == 0.0) return false;
  determinant = 1.0 / determinant;
  for (int i = 0; i < 16; ++i)
    out.m[i] = inv[i] * determinant;
  return true;
}

bool normalMatrix(const Mat4& mv, std::array<double, 9>& out) {
  // The inverse transpose of the upper 3 x 3 is its cofactor matrix over the determinant.
  const double c00 = mv(1, 1) * mv(2, 2) - mv(1, 2) * mv(2, 1);
  const double c01 = mv(1, 2) * mv(2, 0) - mv(1, 0) * mv(2, 2);
  const double c02 = mv(1, 0) * mv(2, 1) - mv(1, 1) * mv(2, 0);
  const double determinant = mv(0, 0) * c00 + mv(0, 1) * c01 + mv(0, 2) * c02;
  if (determinant == 0.0) return false;
  const double c10 = mv(0, 2) * mv(2, 1) - mv(0, 1) * mv(2, 2);
  const double c11 = mv(0, 0) * mv(2, 2) - mv(0, 2) * mv(2, 0);
  const double c12 = mv(0, 1) * mv(2, 0) - mv(0, 0) * mv(2, 1);
  const double c20 = mv(0, 1) * mv(1, 2) - mv(0, 2) * mv(1, 1);
  const double c21 = mv(0, 2) * mv(1, 0) - mv(0, 0) * mv(1, 2);
  const double c22 = mv(0, 0) * mv(1, 1) - mv(0, 1) * mv(1, 0);
  const double inverse = 1.0 / determinant;
  // Row-major: out[row * 3 + column], row i giving the eye-space normal's component i.
  out = {c00 * inverse, c01 * inverse, c02 * inverse, c10 * inverse, c11 * inverse,
         c12 * inverse, c20 * inverse, c21 * inverse, c22 * inverse};
  return true;
}

bool project(double x, double y, double z, const Mat4& modelview, const Mat4& projection,
             const int viewport[4], double& winX, double& winY, double& winZ) {
  const Vec4 clip = projection * (modelview * Vec4{x, y, z, 1.0});
  if (clip.w == 0.0) return false;
  const double nx = clip.x / clip.w, ny = clip.y / clip.w, nz = clip.z / clip.w;
  winX = viewport[0] + (nx * 0.5 + 0.5) * viewport[2];
  winY = viewport[1] + (ny * 0.5 + 0.5) * viewport[3];
  winZ = nz * 0.5 + 0.5;
  return true;
}

bool unproject(double winX, double winY, double winZ, const Mat4& modelview, const Mat4& projection,
               const int viewport[4], double& x, double& y, double& z) {
  Mat4 inverse;
  if (!invert(projection * modelview, inverse)) return false;
  const Vec4 ndc{(winX - viewport[0]) / viewport[2] * 2 - 1,
                 (winY - viewport[1]) / viewport[3] * 2 - 1, winZ * 2 - 1, 1.0};
  const Vec4 object = inverse * ndc;
  if (object.w == 0.0) return false;
  x = object.x / object.w;
  y = object.y / object.w;
  z = object.z / object.w;
  return true;
}

}  // namespace brambleshot::gfx
