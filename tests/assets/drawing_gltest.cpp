// Meshes and textures in the real GL context: where vertices land, the rotation fold, the normals
// sent under flat and smooth shading, and images GL refuses.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "assets/bitmap.h"
#include "assets/mesh.h"
#include "support/gl_env.h"
#include "support/test_util.h"

namespace {

using namespace brambleshot;

// A red triangle 4 wide and 2 high: extent 4, centroid (4/3, 2/3, 0).
const char* const kTriangle =
    "Vertex 0 0 0 0\nVertex 1 4 0 0\nVertex 2 0 2 0\nFace 0 0 1 2 {rgb=(1 0 0) matid=1}\n";
const Material kGrey = {{0, 0, 0, 1}, {0.5f, 0.5f, 0.5f, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}, 0};

// Each test draws with an orthographic view of 100 pixels per unit, x -4..4 and y -3..3.
// Matrices are left for the next test to set, as every GL test does; other state is restored.
class MeshDrawing : public ::testing::Test {
 protected:
  void SetUp() override {
    testenv::resizeWindow(800, 600);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glViewport(0, 0, 800, 600);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-4, 4, -3, 3, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
  void TearDown() override { glPopAttrib(); }
};

TEST_F(MeshDrawing, PlacesVerticesAndFoldsTurnsInTheCallersFrame) {
  Mesh mesh;
  mesh.loadFromMemory(kTriangle, 0, "test.m");
  mesh.scale = 2;
  mesh.position.set(0.5, -0.25, 0);
  mesh.rotationAngle = 90;   // about z
  glTranslated(-1, 0.5, 0);  // the caller's own transform
  double before[16], after[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, before);
  // The vertices GL produces (feedback mode): pairs of (polygon token, vertex count) or window
  // (x, y); window x never reaches the token.
  std::vector<GLfloat> buffer(1 << 12);
  glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_2D, buffer.data());
  glRenderMode(GL_FEEDBACK);
  mesh.draw(GL_TRIANGLES, GL_FLAT);
  const GLint used = glRenderMode(GL_RENDER);
  std::vector<std::array<GLfloat, 2>> points;  // in world units of the view
  for (GLint i = 0; i < used; i += 2)
    if (buffer[i] != GL_POLYGON_TOKEN)
      points.push_back({buffer[i] / 100 - 4, buffer[i + 1] / 100 - 3});
  ASSERT_EQ(points.size(), 3u);
  const double file[3][2] = {{0, 0}, {4, 0}, {0, 2}};
  for (int i = 0; i < 3; ++i) {
    // position + R(90 about z) * ((scale / extent) * (p - centroid)), inside the caller's frame
    const double qx = 0.5 * (file[i][0] - 4.0 / 3), qy = 0.5 * (file[i][1] - 2.0 / 3);
    EXPECT_NEAR(points[i][0], -1 + 0.5 - qy, 0.005) << i;
    EXPECT_NEAR(points[i][1], 0.5 - 0.25 + qx, 0.005) << i;
  }
  glGetDoublev(GL_MODELVIEW_MATRIX, after);
  EXPECT_TRUE(std::equal(before, before + 16, after));
  mesh.draw(GL_TRIANGLES, GL_FLAT);  // the turn is already folded in: the same place again
  const testenv::Rgb centre = testenv::readPixel(350, 325);
  EXPECT_TRUE(centre.r > 250 && centre.g < 5) << centre.r << " " << centre.g;  // face colour
}

TEST_F(MeshDrawing, FlatSendsFaceNormalsAndSmoothVertexNormals) {
  // Light straight from the viewer: a face towards it shows exactly its diffuse 0.5.
  // The material has no ambient, specular or emission part.
  const GLfloat direction[4] = {0, 0, 1, 0}, white[4] = {1, 1, 1, 1};
  glLightfv(GL_LIGHT0, GL_POSITION, direction);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
  glEnable(GL_LIGHT0);
  glEnable(GL_LIGHTING);
  // A folded square, extent 2 drawn at scale 3 (pixels 250..550 by 150..450), so the normals
  // reach unit length only if divided by the one and multiplied by the other. The first
  // triangle faces the light; the second leans away, and so do the vertex normals on the fold.
  Mesh fold;
  fold.loadFromMemory(
      "Vertex 0 0 0 0\nVertex 1 2 0 0\nVertex 2 2 2 0\nVertex 3 0 2 1.6\n"
      "Face 0 0 1 2\nFace 1 0 2 3\n",
      0, "fold.m");
  fold.scale = 3;
  fold.material = &kGrey;
  // Two points of the first triangle: near its lone corner, and near the fold.
  const auto corner = [] { return testenv::readPixel(530, 170).r; };
  const auto nearFold = [] { return testenv::readPixel(420, 300).r; };
  fold.draw(GL_TRIANGLES, GL_FLAT);
  EXPECT_NEAR(corner(), 128, 3);
  EXPECT_NEAR(nearFold(), corner(), 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  fold.draw(GL_TRIANGLES, GL_SMOOTH);
  EXPECT_NEAR(corner(), 128, 8);
  EXPECT_GT(corner(), nearFold() + 5);
}

// An image GL refuses (wider than GL takes, handed over past the reader's own check) is reported;
// an error left over from earlier GL work is not blamed on a good image.
TEST(Texture, AnImageGLRefusesIsReportedAndEarlierErrorsAreNotBlamedOnIt) {
  constexpr TextureId kScratch = 7777;  // a number the game never uses
  GLint largest = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
  // Wider than GL takes: handed over directly, past the reader's own check.
  BitmapImage image;
  image.width = largest * 2;
  image.height = 1;
  image.pixels = std::make_unique<unsigned char[]>(static_cast<std::size_t>(image.width) * 3);
  bool ok = true;
  EXPECT_EQ(testenv::captureStdout([&] { ok = uploadTexture(image, kScratch, "wide.bmp"); }),
            "Texture from wide.bmp was refused by GL: error 0x0501\n");
  EXPECT_FALSE(ok);

  // An error left over from earlier GL work does not count against a good image.
  glEnable(GL_RGB);  // not a capability: GL_INVALID_ENUM
  image.width = image.height = 4;
  EXPECT_EQ(testenv::captureStdout([&] { ok = uploadTexture(image, kScratch, "small.bmp"); }), "");
  EXPECT_TRUE(ok);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
