// Vector helpers, including the degenerate inputs that must never produce NaN.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "assets/vec.h"

namespace {

using brambleshot::Vec2;
using brambleshot::Vec3;

TEST(Vec3, CrossIsRightHandedAndNormalizeGivesUnitLength) {
  Vec3 out;
  Vec3{0, 0, 1}.cross(Vec3{0, 1, 0}, out);
  EXPECT_EQ(out.x, -1);
  EXPECT_EQ(out.z, 0);
  Vec3{2, 3, 4}.cross(Vec3{5, 6, 7}, out);
  EXPECT_EQ(out.x, -3);
  EXPECT_EQ(out.y, 6);
  EXPECT_EQ(out.z, -3);

  Vec3 v{3, 0, 4};
  v.normalize();
  EXPECT_DOUBLE_EQ(v.x, 0.6);
  EXPECT_DOUBLE_EQ(v.z, 0.8);
  Vec3 sliver{1e-20, 0, 0};  // a sliver of a face still has a direction
  sliver.normalize();
  EXPECT_DOUBLE_EQ(sliver.x, 1.0);
  // No direction at all gives the zero vector, never NaN.
  for (Vec3 bad : {Vec3{0, 0, 0}, Vec3{std::numeric_limits<double>::infinity(), 0, 0},
                   Vec3{std::nan(""), 1, 0}}) {
    bad.normalize();
    EXPECT_EQ(bad.x, 0.0);
    EXPECT_EQ(bad.y, 0.0);
    EXPECT_EQ(bad.z, 0.0);
  }
}

TEST(Vec2, AngleIsUnsignedBetweenZeroAndPiAndNeverNaN) {
  const Vec2 right{1, 0};
  EXPECT_DOUBLE_EQ(right.angleTo(Vec2{0, 1}), std::numbers::pi / 2);
  EXPECT_DOUBLE_EQ(right.angleTo(Vec2{0, -1}), std::numbers::pi / 2);
  EXPECT_DOUBLE_EQ(right.angleTo(Vec2{-1, 0}), std::numbers::pi);
  // Rounding may put the cosine just outside [-1, 1].
  const Vec2 a{0.1, 0.7};
  EXPECT_EQ(a.angleTo(a), 0.0);
  EXPECT_DOUBLE_EQ(a.angleTo(Vec2{-0.1, -0.7}), std::numbers::pi);
  // A zero-length vector has no direction: 0, not NaN.
  EXPECT_EQ(right.angleTo(Vec2{0, 0}), 0.0);
  EXPECT_FALSE(std::isnan(Vec2{1e300, 1e300}.angleTo(Vec2{1e300, -1e300})));
}

}  // namespace
