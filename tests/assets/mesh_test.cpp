// The .m loader against hand-written files: line rules, colours, numbering, normals, bounds and
// malformed lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "assets/mesh.h"
#include "support/test_util.h"

namespace {

using brambleshot::Vec3;
using Corners = std::array<std::size_t, 3>;

void expectVec(const Vec3& v, double x, double y, double z) {
  EXPECT_LT(std::abs(v.x - x) + std::abs(v.y - y) + std::abs(v.z - z), 1e-9)
      << "(" << v.x << ", " << v.y << ", " << v.z << ")";
}

class MeshLoader : public ::testing::Test {
 protected:
  // Writes text to a file, loads it and returns what the loader printed.
  std::string load(const std::string& text, int firstIndex = 0) {
    testenv::writeFile(path, text);
    return testenv::captureStdout([&] { mesh.load(path, firstIndex); });
  }

  testenv::TempDir dir;
  const std::string path = (dir / "model.m").string();
  brambleshot::Mesh mesh;
};

// Numbered from 1, as the aircraft model is; colour clauses with and without a space.
TEST_F(MeshLoader, ReadsFacesColoursAndQuads) {
  EXPECT_EQ(load("# hull\nVertex 1 0.5 -1.25 2\nVertex 17 0 0 0\nVertex 3 1 0 0\nVertex 4 0 1 0\n"
                 "Face 1 1 2 3\nFace 2 2 3 4{rgb=(0.8 0.2 0.2) matid=1}\nFace 3 1 2 4\n"
                 "Face 4 1 3 4 4 {rgb=(0 0 1) matid=3}\n",
                 1),
            "");
  ASSERT_EQ(mesh.faces.size(), 4u);  // vertices numbered by their order, not by the 17
  const Corners corners[] = {{0, 1, 2}, {1, 2, 3}, {0, 1, 3}, {0, 2, 3}};  // quad: 4th dropped
  // Red carries over to the third face; matid is the alpha.
  const float colours[][4] = {{1, 1, 1, 1}, {.8f, .2f, .2f, 1}, {.8f, .2f, .2f, 1}, {0, 0, 1, 3}};
  for (int f = 0; f < 4; ++f) {
    EXPECT_EQ(mesh.faces[f].corners, corners[f]) << f;
    EXPECT_TRUE(std::equal(colours[f], colours[f] + 4, mesh.faces[f].colour)) << f;
  }
}

TEST_F(MeshLoader, LineEndsTabsLongLinesAndBounds) {
  load(
      "\r\n  \tVertex 0 0 0 0\r\n\tVertex \t1\t2 0 0 \r\n\r\n   Vertex 2   0  3 0\r\nFace 0\t0 1 "
      "2\r\n");
  ASSERT_EQ(mesh.faces.size(), 1u);
  expectVec(mesh.vertices[1].position, 2, 0, 0);
  expectVec(mesh.faces[0].normal, 0, 0, 1.0 / 3);  // unit normal over extent 3

  // A 300-character line of which only the first 255 count: z "3456" is cut after its "3".
  std::string line = "Vertex 0 1 2 ";
  line += std::string(254 - line.size(), ' ') + "3456" + std::string(42, ' ');
  // A line longer than 255 + 9999 characters goes on as a further line.
  const std::string overlong = "#" + std::string(255 + 9999 - 1, 'x') + "Vertex 2 7 8 9";
  load(line + "\nVertex 1 4 5 6\n" + overlong + "\nvertex 3 1 1 1\nVertex\t4 1 1 1\n");
  ASSERT_EQ(mesh.vertices.size(), 3u);
  expectVec(mesh.vertices[0].position, 1, 2, 3);
  expectVec(mesh.vertices[2].position, 7, 8, 9);

  // Bounds of a model wholly at negative x and y; extent is the longest side.
  load("Vertex 0 -3 -5 0\nVertex 1 -1 -4 0\nVertex 2 -2 -4.5 0\nVertex 3 -2 -4 1\n");
  expectVec(mesh.centroid, -2, -4.375, 0.25);
  EXPECT_EQ(mesh.extent, 2.0);
  load("Vertex 0 5 5 5\n");  // a single point has no size to divide by
  EXPECT_EQ(mesh.extent, 1.0);
}

TEST_F(MeshLoader, VertexNormalsAreARunningBlend) {
  // Unit spans, so extent is 1 and the stored normals keep their length.
  load(
      "Vertex 0 0 0 0\nVertex 1 1 0 0\nVertex 2 0 1 0\nVertex 3 0 0 -1\nVertex 4 0 0 1\n"
      "Face 0 0 1 2\nFace 1 0 1 3\nFace 2 0 2 4\n"  // normals +z, +y, +x
      "Face 3 0 1 1\n");                            // degenerate: no direction, adds nothing
  ASSERT_EQ(mesh.faces.size(), 4u);
  expectVec(mesh.faces[3].normal, 0, 0, 0);
  const double h = std::sqrt(0.5);
  expectVec(mesh.vertices[1].normal, 0, h, h);  // two faces blended equally
  // The third face weighs as much as the first two together.
  const double k = 1.0 / std::sqrt(1.0 + 2 * h * h);
  expectVec(mesh.vertices[0].normal, k, k * h, k * h);
}

TEST_F(MeshLoader, BadLinesAreSkippedWithTheirReason) {
  const std::string notAmong = " is not among the 3 read so far, numbered from 1";
  const std::pair<const char*, std::string> cases[] = {
      {"Face 1 1 2 4", "vertex 4" + notAmong},
      {"Face 2 0 1 2", "vertex 0" + notAmong},
      {"Face 4 1 2 {rgb=(1 0 0) matid=1}", "fewer than three vertex numbers"},
      {"Face 5 1 2 3, 4", "unexpected character ','"},
      {"Face 8 1 2 3 99999999999999999999999", ""},  // further numbers are ignored
      {"Face 9 1 2 3 {nothing}", ""},                // no "rgb=": colour unchanged
      // Numbers beyond the 64-bit limits are out of range, never wrapped, and printed in full.
      {"Face 11 1 2 9223372036854775808", "vertex 9223372036854775808" + notAmong},
      {"Face 12 18446744073709551617 2 3", "vertex 18446744073709551617" + notAmong},
      {"Face 15 1 2 000000000000000000000000000003", ""},  // leading zeros: vertex 3
  };
  for (const auto& [face, reason] : cases) {
    SCOPED_TRACE(face);
    EXPECT_EQ(load("Vertex 1 0 0 0\nVertex 2 1 0 0\nVertex 3 0 1 0\n" + std::string(face) +
                       "\nFace 10 1 2 3\n",
                   1),
              reason.empty() ? "" : path + ":4: Face line skipped: " + reason + "\n");
    ASSERT_EQ(mesh.faces.size(), reason.empty() ? 2u : 1u);
    for (const auto& f : mesh.faces) {
      EXPECT_EQ(f.corners, (Corners{0, 1, 2}));
      EXPECT_EQ(f.colour[1], 1.0f);  // a skipped line's red never takes effect
    }
  }

  // nan, infinity, and a number too large for single precision; only the first face stands.
  const std::string output = load(
      "Vertex 1 0 0 0\nVertex 2 4 0 0\nVertex 3 0 2 0\nVertex 4 nan 0 0\nVertex 5 0 -inf 0\n"
      "Vertex 6 0 0 1e39\nFace 1 1 2 3\nFace 2 1 2 4\nFace 3 5 2 3\nFace 4 1 6 3\n",
      1);
  std::string expected;
  for (const char* n : {"4", "5", "6"})
    expected += path + ":" + n + ": vertex " + n +
                " is not at a finite position: faces using it are left out\n";
  EXPECT_EQ(output, expected);
  ASSERT_EQ(mesh.vertices.size(), 6u);  // later vertices keep their numbers
  ASSERT_EQ(mesh.faces.size(), 1u);
  // Size and centre come from the finite vertices alone.
  EXPECT_EQ(mesh.extent, 4.0);
  expectVec(mesh.centroid, 4.0 / 3, 2.0 / 3, 0);
}

}  // namespace
