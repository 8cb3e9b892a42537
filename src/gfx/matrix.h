// 4 x 4 matrices as GL keeps them (column-major doubles) and the transforms GL and GLU build:
// what the drawing layer's matrix stacks hold and what aiming un-projects through.
#pragma once

#include <array>

namespace brambleshot::gfx {

struct Vec4 {
  double x = 0.0, y = 0.0, z = 0.0, w = 1.0;
};

// Column-major: m[column * 4 + row], the layout glLoadMatrixd and glGetDoublev use.
struct Mat4 {
  std::array<double, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

  double operator()(int row, int column) const { return m[column * 4 + row]; }
  double& operator()(int row, int column) { return m[column * 4 + row]; }
  static Mat4 fromColumns(const double* columnMajor);
};

Mat4 operator*(const Mat4& a, const Mat4& b);
Vec4 operator*(const Mat4& a, const Vec4& v);

// The matrices glTranslated, glScaled, glRotated (degrees, about any axis), glOrtho,
// gluPerspective (vertical field of view in degrees) and gluLookAt multiply in. Rotations and
// orthographic projections come out exactly as GL builds them, in single precision.
Mat4 translation(double x, double y, double z);
Mat4 scaling(double x, double y, double z);
Mat4 rotation(double degrees, double x, double y, double z);
Mat4 ortho(double left, double right, double bottom, double top, double zNear, double zFar);
Mat4 perspective(double fovyDegrees, double aspect, double zNear, double zFar);
// gluLookAt's rotation; the eye's translation follows it as a separate translate(-eye), as GLU
// multiplies it in.
Mat4 lookAt(double eyeX, double eyeY, double eyeZ, double centreX, double centreY, double centreZ,
            double upX, double upY, double upZ);

// The inverse; false (and out untouched) for a singular matrix.
bool invert(const Mat4& a, Mat4& out);
// The 3 x 3 that carries normals into eye space: the inverse transpose of the upper-left 3 x 3.
// False for a singular one.
bool normalMatrix(const Mat4& modelview, std::array<double, 9>& out);

// gluProject and gluUnProject: object point <-> window point (x, y from the viewport's corner,
// z in 0..1). False where the point has w = 0 or the matrices are singular.
bool project(double x, double y, double z, const Mat4& modelview, const Mat4& projection,
             const int viewport[4], double& winX, double& winY, double& winZ);
bool unproject(double winX, double winY, double winZ, const Mat4& modelview, const Mat4& projection,
               const int viewport[4], double& x, double& y, double& z);

}  // namespace brambleshot::gfx
