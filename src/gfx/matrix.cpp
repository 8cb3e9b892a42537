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

Mat4 rotation(double degrees, double x, double y, double z) {
  const double length = std::sqrt(x * x + y * y + z * z);
  if (length == 0.0) return Mat4{};  // GL leaves the matrix as it is for a zero axis
  x /= length;
  y /= length;
  z /= length;
  const double radians = degrees * kPi / 180.0;
  const double c = std::cos(radians);
  const double s = std::sin(radians);
  const double t = 1.0 - c;
  return fromRows({x * x * t + c, x * y * t - z * s, x * z * t + y * s, 0,  //
                   y * x * t + z * s, y * y * t + c, y * z * t - x * s, 0,  //
                   z * x * t - y * s, z * y * t + x * s, z * z * t + c, 0,  //
                   0, 0, 0, 1});
}

Mat4 ortho(double l, double r, double b, double t, double n, double f) {
  return fromRows({2 / (r - l), 0, 0, -(r + l) / (r - l),   //
                   0, 2 / (t - b), 0, -(t + b) / (t - b),   //
                   0, 0, -2 / (f - n), -(f + n) / (f - n),  //
                   0, 0, 0, 1});
}

Mat4 frustum(double l, double r, double b, double t, double n, double f) {
  return fromRows({2 * n / (r - l), 0, (r + l) / (r - l), 0,        //
                   0, 2 * n / (t - b), (t + b) / (t - b), 0,        //
                   0, 0, -(f + n) / (f - n), -2 * f * n / (f - n),  //
                   0, 0, -1, 0});
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
  auto normalise = [](double& x, double& y, double& z) {
    const double length = std::sqrt(x * x + y * y + z * z);
    if (length == 0.0) return;
    x /= length;
    y /= length;
    z /= length;
  };
  double fx = cx - ex, fy = cy - ey, fz = cz - ez;
  normalise(fx, fy, fz);
  // side = forward x up, then up = side x forward
  double sx = fy * uz - fz * uy, sy = fz * ux - fx * uz, sz = fx * uy - fy * ux;
  normalise(sx, sy, sz);
  const double vx = sy * fz - sz * fy, vy = sz * fx - sx * fz, vz = sx * fy - sy * fx;
  return fromRows({sx, sy, sz, 0, vx, vy, vz, 0, -fx, -fy, -fz, 0, 0, 0, 0, 1}) *
         translation(-ex, -ey, -ez);
}

bool invert(const Mat4& a, Mat4& out) {
  // Gauss-Jordan elimination with partial pivoting on [a | I].
  double work[4][8];
  for (int row = 0; row < 4; ++row)
    for (int column = 0; column < 8; ++column)
      work[row][column] = column < 4 ? a(row, column) : (column - 4 == row ? 1.0 : 0.0);
  for (int column = 0; column < 4; ++column) {
    int pivot = column;
    for (int row = column + 1; row < 4; ++row)
      if (std::fabs(work[row][column]) > std::fabs(work[pivot][column])) pivot = row;
    if (work[pivot][column] == 0.0) return false;
    if (pivot != column)
      for (int k = 0; k < 8; ++k)
        std::swap(work[pivot][k], work[column][k]);
    const double scale = 1.0 / work[column][column];
    for (int k = 0; k < 8; ++k)
      work[column][k] *= scale;
    for (int row = 0; row < 4; ++row) {
      if (row == column || work[row][column] == 0.0) continue;
      const double factor = work[row][column];
      for (int k = 0; k < 8; ++k)
        work[row][k] -= factor * work[column][k];
    }
  }
  for (int row = 0; row < 4; ++row)
    for (int column = 0; column < 4; ++column)
      out(row, column) = work[row][column + 4];
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
