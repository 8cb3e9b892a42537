// The committed models sit where their owners draw around them: the loader centres a model on
// the mean of its vertices, so a remade model whose mean moved would float off its hull, its
// axle or its hit box.
#include <gtest/gtest.h>

#include <algorithm>

#include "assets/mesh.h"
#include "enemies/squadron.h"
#include "support/test_util.h"

namespace {

using brambleshot::Mesh;

struct Box {
  double x0, y0, x1, y1;
};

// The model's x-y outline as drawn at scale 1: centred on the centroid, divided by the extent,
// and for the aircraft turned 180 degrees about y (x mirrored).
Box drawnOutline(const Mesh& mesh, bool turned) {
  const double e = mesh.extent;
  Box box{(mesh.boundsMin.x - mesh.centroid.x) / e, (mesh.boundsMin.y - mesh.centroid.y) / e,
          (mesh.boundsMax.x - mesh.centroid.x) / e, (mesh.boundsMax.y - mesh.centroid.y) / e};
  if (turned) box = {-box.x1, box.y0, -box.x0, box.y1};
  return box;
}

TEST(ShippedModels, FillTheOutlineTheirOwnersExpect) {
  const brambleshot::Aircraft aircraft;
  const Box hitBox{aircraft.hitOutline[0][0], aircraft.hitOutline[0][1], aircraft.hitOutline[2][0],
                   aircraft.hitOutline[2][1]};
  struct Case {
    const char* file;
    int firstIndex;
    bool turned;
    Box expected;  // the outline the owner draws around, in the model's drawn units
    double slack;  // how far inside each edge the model may stop
  };
  const Case cases[] = {
      // Hull: deck (with its hatch) under the dome and the guns, tracks down to the ground.
      {"Resources/Tank.m", 0, false, {-0.5, -0.291, 0.5, 0.114}, 0.005},
      // Wheel: turned about its axle, which must be its centre.
      {"Resources/Wheel.m", 0, false, {-0.5, -0.5, 0.5, 0.5}, 0.005},
      // Aircraft: inside its hit box and filling most of it, so hits land on what is seen.
      {"Resources/cessna500.m", 1, true, hitBox, 0.04}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    Mesh mesh;
    EXPECT_EQ(testenv::captureStdout([&] { mesh.load(c.file, c.firstIndex); }), "");
    ASSERT_FALSE(mesh.faces.empty());
    const Box drawn = drawnOutline(mesh, c.turned);
    const double low[] = {drawn.x0 - c.expected.x0, drawn.y0 - c.expected.y0};
    const double high[] = {c.expected.x1 - drawn.x1, c.expected.y1 - drawn.y1};
    for (int axis = 0; axis < 2; ++axis) {
      SCOPED_TRACE(axis == 0 ? "x" : "y");
      EXPECT_GE(low[axis], -0.005);  // not beyond the expected edge (beyond rounding)
      EXPECT_LE(low[axis], c.slack);
      EXPECT_GE(high[axis], -0.005);
      EXPECT_LE(high[axis], c.slack);
    }
  }
}

}  // namespace
