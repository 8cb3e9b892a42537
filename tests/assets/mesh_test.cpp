// The .m loader against hand-written files: line rules, numbers, colours, normals, bounds,
// malformed lines, and the committed models.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "assets/mesh.h"
#include "support/test_util.h"

namespace {

using brambleshot::Mesh;
using brambleshot::Vec3;

void expectVec(const Vec3& actual, double x, double y, double z, double tolerance = 1e-9) {
  EXPECT_NEAR(actual.x, x, tolerance);
  EXPECT_NEAR(actual.y, y, tolerance);
  EXPECT_NEAR(actual.z, z, tolerance);
}

class MeshLoader : public ::testing::Test {
 protected:
  // Writes text to a file, loads it into mesh and returns what the loader printed.
  std::string load(const std::string& text, int firstIndex = 0) {
    testenv::writeFile(path(), text);
    return testenv::captureStdout([&] { mesh.load(path(), firstIndex); });
  }
  std::string path() const { return (dir / "model.m").string(); }

  testenv::TempDir dir;
  Mesh mesh;
};

const char* const kExample =
    "# hull, rear part\n"
    "Vertex 1 0.5 -1.25 2\n"
    "Vertex 17 0 0 0\n"
    "Vertex 3 1 0 0\n"
    "Vertex 4 0 1 0\n"
    "Face 1 1 2 3\n"
    "Face 2 2 3 4{rgb=(0.8 0.2 0.2) matid=1}\n"
    "Face 3 1 2 4\n"
    "Face 4 1 3 4 4 {rgb=(0 0 1) matid=1}\n";

TEST_F(MeshLoader, ReadsVerticesFacesAndColourClauses) {
  EXPECT_EQ(load(kExample, 1), "");
  ASSERT_EQ(mesh.vertices.size(), 4u);
  ASSERT_EQ(mesh.faces.size(), 4u);
  expectVec(mesh.vertices[0].position, 0.5, -1.25, 2);
  expectVec(mesh.vertices[1].position, 0, 0, 0);  // numbered by order, not by the 17
  using Corners = std::array<std::size_t, 3>;
  EXPECT_EQ(mesh.faces[0].corners, (Corners{0, 1, 2}));
  EXPECT_EQ(mesh.faces[1].corners, (Corners{1, 2, 3}));
  EXPECT_EQ(mesh.faces[3].corners, (Corners{0, 2, 3}));  // fourth corner of a quad dropped
  const float white[4] = {1, 1, 1, 1};
  const float red[4] = {0.8f, 0.2f, 0.2f, 1};
  const float blue[4] = {0, 0, 1, 1};
  const float* expected[4] = {white, red, red, blue};  // the third line carries red over
  for (int f = 0; f < 4; ++f)
    for (int c = 0; c < 4; ++c)
      EXPECT_EQ(mesh.faces[f].colour[c], expected[f][c]) << f << c;
}

TEST_F(MeshLoader, LineEndsBlanksAndLongLines) {
  load("Vertex 0 0 0 0\nVertex 1 2 0 0\nVertex 2 0 3 0\nFace 0 0 1 2\n");
  const Mesh plain = mesh;
  load(
      "\r\n  \tVertex 0 0 0 0\r\n\tVertex \t1\t2 0 0 \r\n\r\n   Vertex 2   0  3 0\r\nFace 0\t0 1 "
      "2\r\n");
  ASSERT_EQ(mesh.vertices.size(), 3u);
  ASSERT_EQ(mesh.faces.size(), 1u);
  for (int i = 0; i < 3; ++i)
    expectVec(mesh.vertices[i].position, plain.vertices[i].position.x, plain.vertices[i].position.y,
              plain.vertices[i].position.z);
  expectVec(mesh.faces[0].normal, plain.faces[0].normal.x, plain.faces[0].normal.y,
            plain.faces[0].normal.z);

  // Only the first 255 characters count: the z coordinate "3456" is cut after its "3".
  std::string line = "Vertex 0 1 2 ";
  line += std::string(254 - line.size(), ' ') + "3456";
  // A line longer than 255 + 9999 characters goes on as a further line.
  const std::string overlong = "#" + std::string(255 + 9999 - 1, 'x') + "Vertex 2 7 8 9";
  load(line + "\nVertex 1 4 5 6\n" + overlong + "\nvertex 3 1 1 1\nVertex\t4 1 1 1\n");
  ASSERT_EQ(mesh.vertices.size(), 3u);
  expectVec(mesh.vertices[0].position, 1, 2, 3);
  expectVec(mesh.vertices[1].position, 4, 5, 6);
  expectVec(mesh.vertices[2].position, 7, 8, 9);
}

TEST_F(MeshLoader, ReadsNumbersAsScanfWould) {
  EXPECT_EQ(load("Vertex 0 0.1 3e-2 -1.5E+1\n"
                 "Vertex 1 +.5 1e 2\n"      // a bare exponent marker is consumed and ignored
                 "Vertex 1.5 2 3 4\n"       // %d takes "1", %g takes ".5"
                 "Vertex 3 2 abc 4\n"       // stops at "abc": y and z not converted
                 "Vertex x 1 2 3\n"         // nothing converts
                 "Vertex 5 1e60 0x1p3 9\n"  // overflow gives infinity; hexadecimal accepted
                 "Face 0 0 1 2 {rgb=(0.25 1 2)matid=3}\n"),
            "");
  ASSERT_EQ(mesh.vertices.size(), 6u);
  // Coordinates go through single precision.
  expectVec(mesh.vertices[0].position, double(0.1f), double(3e-2f), -15, 0);
  expectVec(mesh.vertices[1].position, 0.5, 1, 2);
  expectVec(mesh.vertices[2].position, 0.5, 2, 3);
  expectVec(mesh.vertices[3].position, 2, 0, 0);
  expectVec(mesh.vertices[4].position, 0, 0, 0);
  EXPECT_TRUE(std::isinf(mesh.vertices[5].position.x));
  EXPECT_EQ(mesh.vertices[5].position.y, 8);
  ASSERT_EQ(mesh.faces.size(), 1u);
  EXPECT_EQ(mesh.faces[0].colour[0], 0.25f);
  EXPECT_EQ(mesh.faces[0].colour[3], 3.0f);  // the matid integer becomes the alpha
}

TEST_F(MeshLoader, FirstIndexOnlyShiftsTheFaceNumbers) {
  load(kExample, 1);
  const Mesh fromOne = mesh;
  load(
      "Vertex 1 0.5 -1.25 2\nVertex 17 0 0 0\nVertex 3 1 0 0\nVertex 4 0 1 0\n"
      "Face 1 0 1 2\nFace 2 1 2 3{rgb=(0.8 0.2 0.2) matid=1}\nFace 3 0 1 3\n"
      "Face 4 0 2 3 3 {rgb=(0 0 1) matid=1}\n",
      0);
  ASSERT_EQ(mesh.faces.size(), fromOne.faces.size());
  for (std::size_t f = 0; f < mesh.faces.size(); ++f) {
    EXPECT_EQ(mesh.faces[f].corners, fromOne.faces[f].corners);
    EXPECT_EQ(mesh.faces[f].normal.z, fromOne.faces[f].normal.z);
  }
  for (std::size_t v = 0; v < mesh.vertices.size(); ++v)
    EXPECT_EQ(mesh.vertices[v].normal.x, fromOne.vertices[v].normal.x);
  EXPECT_EQ(mesh.extent, fromOne.extent);
  EXPECT_EQ(mesh.centroid.y, fromOne.centroid.y);
}

TEST_F(MeshLoader, VertexNormalsAreARunningBlend) {
  // Unit spans, so extent is 1 and the stored normals keep their length.
  load(
      "Vertex 0 0 0 0\nVertex 1 1 0 0\nVertex 2 0 1 0\nVertex 3 0 0 -1\nVertex 4 0 0 1\n"
      "Face 0 0 1 2\n"    // normal +z
      "Face 1 0 1 3\n"    // normal +y
      "Face 2 0 2 4\n");  // normal +x (2: y, 4: z)
  ASSERT_EQ(mesh.extent, 1.0);
  expectVec(mesh.faces[0].normal, 0, 0, 1);
  expectVec(mesh.faces[1].normal, 0, 1, 0);
  const double h = std::sqrt(0.5);
  // Vertex 1: faces 0 and 1 blended equally.
  expectVec(mesh.vertices[1].normal, 0, h, h);
  // Vertex 0: the third face weighs as much as the first two together.
  const double k = 1.0 / std::sqrt(1.0 + 2 * h * h);
  expectVec(mesh.vertices[0].normal, k * 1, k * h, k * h);
  expectVec(mesh.vertices[3].normal, 0, 1, 0);
}

TEST_F(MeshLoader, ExtentCentroidAndBounds) {
  load("Vertex 0 -1 0 0\nVertex 1 1 0 0\nVertex 2 0 4 0\nVertex 3 0 1 2\nFace 0 0 1 2\n");
  EXPECT_EQ(mesh.extent, 4.0);
  expectVec(mesh.centroid, 0, 1.25, 0.5);
  expectVec(mesh.faces[0].normal, 0, 0, 0.25);  // normals are divided by the extent
  expectVec(mesh.vertices[3].normal, 0, 0, 0);  // unused vertex
  expectVec(mesh.boundsMax, 1, 4, 2);

  // Wholly at negative x and y: the bounds are the true ones.
  load("Vertex 0 -3 -5 0\nVertex 1 -1 -4 0\nVertex 2 -2 -4.5 0\n");
  expectVec(mesh.boundsMax, -1, -4, 0);
  expectVec(mesh.boundsMin, -3, -5, 0);
  EXPECT_EQ(mesh.extent, 2.0);

  // A single point has no size to divide by.
  load("Vertex 0 5 5 5\n");
  EXPECT_EQ(mesh.extent, 1.0);
  expectVec(mesh.centroid, 5, 5, 5);
}

TEST_F(MeshLoader, EmptyOrMissingFilesLeaveTheMeshAsConstructed) {
  const Mesh fresh;
  EXPECT_EQ(load("# nothing\n\n   \n# more\n"), "");
  EXPECT_TRUE(mesh.vertices.empty());
  EXPECT_TRUE(mesh.faces.empty());
  EXPECT_EQ(mesh.boundsMax.x, fresh.boundsMax.x);
  EXPECT_EQ(mesh.boundsMin.y, fresh.boundsMin.y);
  EXPECT_EQ(mesh.extent, 1.0);
  expectVec(mesh.centroid, 0, 0, 0);

  const std::string missing = (dir / "absent.m").string();
  Mesh other;
  EXPECT_EQ(testenv::captureStdout([&] { other.load(missing, 0); }),
            "Could not open file " + missing + "\n");
  EXPECT_TRUE(other.vertices.empty());
  EXPECT_EQ(other.extent, 1.0);
}

TEST_F(MeshLoader, SkipsBadFaceLinesWithOneMessageEach) {
  const std::string output = load(
      "Vertex 1 0 0 0\nVertex 2 1 0 0\nVertex 3 0 1 0\n"
      "Face 1 1 2 4\n"                          // 4: no such vertex yet
      "Face 2 0 1 2\n"                          // 0: below firstIndex
      "Face 3 1 2\n"                            // two corners
      "Face 4 1 2 {rgb=(1 0 0) matid=1}\n"      // two corners, then a colour
      "Face 5 1 2 3, 4\n"                       // stray comma
      "Face 6 1 -2 3\n"                         // sign
      "Face 7 1 2 3 x\n"                        // stray letter
      "Face 8 1 2 3 99999999999999999999999\n"  // further numbers are not corners
      "Face 9 1 2 3 {nothing}\n"                // "{" without "rgb=": colour unchanged
      "Face 10 1 2 2\n"                         // degenerate but legal
      "Vertex 4 0 0 1\nFace 11 1 2 4\n",
      1);
  const char* const lines[] = {":4: ", ":5: ", ":6: ", ":7: ", ":8: ", ":9: ", ":10: "};
  std::size_t from = 0;
  for (const char* line : lines) {
    const std::size_t at = output.find(path() + line, from);
    ASSERT_NE(at, std::string::npos) << line << " in\n" << output;
    from = output.find('\n', at) + 1;
  }
  EXPECT_EQ(from, output.size()) << output;  // nothing else printed

  ASSERT_EQ(mesh.faces.size(), 4u);
  for (const auto& face : mesh.faces) {
    EXPECT_EQ(face.colour[1], 1.0f);  // the skipped line's red never took effect
    for (std::size_t corner : face.corners)
      EXPECT_LT(corner, mesh.vertices.size());
  }
  // The degenerate face has no direction and adds nothing to its vertices' normals: vertex 2
  // blends +z (faces 8 and 9) with -y (face 11) only.
  expectVec(mesh.faces[2].normal, 0, 0, 0);
  const double h = std::sqrt(0.5);
  expectVec(mesh.vertices[1].normal, 0, -h, h);
  expectVec(mesh.vertices[2].normal, 0, 0, 1);
}

// The models the game ships: counts, no complaints, and the boxes they are drawn into.
struct ShippedModel {
  const char* file;
  int firstIndex;
  std::size_t vertices;
  std::size_t faces;
  double scale;   // as the owner draws it
  double xSign;   // -1: the owner turns it 180 degrees about y
  double box[4];  // x from, x to, y from, y to around the owner's reference point
};

TEST(ShippedModels, LoadCleanlyAndFitTheirBoxes) {
  const ShippedModel models[] = {
      {"Resources/Tank.m", 0, 1328, 2604, 0.8, 1, {-0.41, 0.41, -0.28, 0.2}},
      // A wheel turns about its centre: it must be centred on its vertex mean.
      {"Resources/Wheel.m", 0, 922, 940, 1, 1, {-0.5001, 0.5001, -0.5001, 0.5001}},
      {"Resources/cessna500.m", 1, 2272, 4336, 1, -1, {-0.45, 0.6, -0.1, 0.2}}};
  for (const ShippedModel& model : models) {
    SCOPED_TRACE(model.file);
    Mesh mesh;
    EXPECT_EQ(testenv::captureStdout([&] { mesh.load(model.file, model.firstIndex); }), "");
    EXPECT_EQ(mesh.vertices.size(), model.vertices);
    EXPECT_EQ(mesh.faces.size(), model.faces);
    const double k = model.scale / mesh.extent;
    const double x0 = (mesh.boundsMin.x - mesh.centroid.x) * k * model.xSign;
    const double x1 = (mesh.boundsMax.x - mesh.centroid.x) * k * model.xSign;
    EXPECT_GE(std::min(x0, x1), model.box[0]);
    EXPECT_LE(std::max(x0, x1), model.box[1]);
    EXPECT_GE((mesh.boundsMin.y - mesh.centroid.y) * k, model.box[2]);
    EXPECT_LE((mesh.boundsMax.y - mesh.centroid.y) * k, model.box[3]);
    for (const auto& face : mesh.faces) {
      const Vec3& n = face.normal;
      EXPECT_GT(n.x * n.x + n.y * n.y + n.z * n.z, 0.0) << "degenerate face";
    }
  }
}

}  // namespace
