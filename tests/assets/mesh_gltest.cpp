// Mesh drawing in the real GL context: where vertices land (feedback mode and pixels), the
// rotation fold, copies, normals and lighting, materials.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "assets/mesh.h"
#include "support/gl_env.h"

namespace {

using brambleshot::Material;
using brambleshot::Mesh;

// Unit square at (10..11, 10..11), red, as two triangles facing +z.
const char* const kSquare =
    "Vertex 0 10 10 0\nVertex 1 11 10 0\nVertex 2 11 11 0\nVertex 3 10 11 0\n"
    "Face 0 0 1 2 {rgb=(1 0 0) matid=1}\nFace 1 0 2 3\n";
// A triangle 4 wide and 2 high: extent 4, centroid (4/3, 2/3, 0).
const char* const kTriangle = "Vertex 0 0 0 0\nVertex 1 4 0 0\nVertex 2 0 2 0\nFace 0 0 1 2\n";

const Material kGrey = {{0, 0, 0, 1}, {0.5f, 0.5f, 0.5f, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}, 0};

// Each test draws with an orthographic view of 100 pixels per unit, x -4..4 and y -3..3,
// and restores every bit of GL state it touched.
class MeshDrawing : public ::testing::Test {
 protected:
  void SetUp() override {
    testenv::resizeWindow(800, 600);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-4, 4, -3, 3, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glViewport(0, 0, 800, 600);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
  void TearDown() override {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
  }

  static Mesh meshOf(const char* text) {
    Mesh mesh;
    mesh.loadFromMemory(text, 0, "test.m");
    return mesh;
  }

  // The vertices GL produces for the mesh, in world units of the orthographic view.
  static std::vector<std::array<double, 2>> drawnVertices(Mesh& mesh, GLenum shade = GL_FLAT) {
    std::vector<GLfloat> buffer(1 << 16);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_2D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    mesh.draw(GL_TRIANGLES, shade);
    const GLint used = glRenderMode(GL_RENDER);
    std::vector<std::array<double, 2>> points;
    for (GLint i = 0; i < used;) {
      EXPECT_EQ(buffer[i], GL_POLYGON_TOKEN);
      const int count = static_cast<int>(buffer[i + 1]);
      for (int k = 0; k < count; ++k)
        points.push_back({buffer[i + 2 + 2 * k] / 100.0 - 4, buffer[i + 3 + 2 * k] / 100.0 - 3});
      i += 2 + 2 * count;
    }
    return points;
  }

  static void expectMatrix(const double* actual, const double* expected) {
    for (int i = 0; i < 16; ++i)
      EXPECT_NEAR(actual[i], expected[i], 1e-6) << "element " << i;
  }
};

TEST_F(MeshDrawing, PlacesVerticesInTheCallersFrame) {
  Mesh mesh = meshOf(kTriangle);
  mesh.scale = 2;
  mesh.position.set(0.5, -0.25, 0);
  mesh.rotationAxis.set(0, 0, 1);
  mesh.rotationAngle = 90;
  glTranslated(-1, 0.5, 0);  // the caller's own transform
  double before[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, before);

  const auto points = drawnVertices(mesh);
  ASSERT_EQ(points.size(), 3u);
  const double file[3][2] = {{0, 0}, {4, 0}, {0, 2}};
  for (int i = 0; i < 3; ++i) {
    // position + R(90 about z) * ((scale / extent) * (p - centroid)), inside the caller's frame
    const double qx = 0.5 * (file[i][0] - 4.0 / 3), qy = 0.5 * (file[i][1] - 2.0 / 3);
    EXPECT_NEAR(points[i][0], -1 + 0.5 - qy, 0.005) << i;
    EXPECT_NEAR(points[i][1], 0.5 - 0.25 + qx, 0.005) << i;
  }
  double after[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, after);
  expectMatrix(after, before);
}

TEST_F(MeshDrawing, CoversTheExpectedPixels) {
  Mesh mesh = meshOf(kSquare);
  mesh.scale = 2;  // a 2 x 2 square centred on (1, 1): pixels 400..600 by 300..500
  mesh.position.set(1, 1, 0);
  mesh.draw(GL_TRIANGLES, GL_FLAT);
  const int inside[][2] = {{500, 400}, {403, 303}, {597, 497}, {403, 497}};
  for (const auto& p : inside) {
    const testenv::Rgb c = testenv::readPixel(p[0], p[1]);
    EXPECT_GT(c.r, 250) << p[0] << "," << p[1];
    EXPECT_LT(c.g, 5);
  }
  const int outside[][2] = {{396, 400}, {604, 400}, {500, 296}, {500, 504}};
  for (const auto& p : outside)
    EXPECT_LT(testenv::readPixel(p[0], p[1]).r, 5) << p[0];
}

TEST_F(MeshDrawing, FoldsRotationsInTheCallersFrame) {
  Mesh mesh;  // no faces: nothing is drawn, but the pending turn is still folded
  mesh.rotationAxis.set(1, 0, 0);
  mesh.rotationAngle = 90;
  EXPECT_TRUE(drawnVertices(mesh).empty());
  mesh.rotationAxis.set(0, 1, 0);
  mesh.rotationAngle = 90;
  mesh.draw(GL_TRIANGLES, GL_FLAT);
  EXPECT_EQ(mesh.rotationAngle, 0.0);
  mesh.draw(GL_TRIANGLES, GL_FLAT);  // nothing pending: no further turn

  double expected[16];
  glPushMatrix();
  glLoadIdentity();
  glRotated(90, 0, 1, 0);
  glRotated(90, 1, 0, 0);
  glGetDoublev(GL_MODELVIEW_MATRIX, expected);
  glPopMatrix();
  expectMatrix(mesh.orientation, expected);

  // A steady spin is an angle set before every draw.
  Mesh spinning;
  spinning.rotationAxis.set(0, 0, 1);
  for (int i = 0; i < 3; ++i) {
    spinning.rotationAngle = 30;
    spinning.draw(GL_TRIANGLES, GL_FLAT);
  }
  glPushMatrix();
  glLoadIdentity();
  glRotated(90, 0, 0, 1);
  glGetDoublev(GL_MODELVIEW_MATRIX, expected);
  glPopMatrix();
  expectMatrix(spinning.orientation, expected);
}

TEST_F(MeshDrawing, CopyIsIndependentOfItsSource) {
  Mesh source = meshOf(kTriangle);
  source.material = &kGrey;
  source.position.set(1, 0, 0);
  source.rotationAngle = 45;
  Mesh reference = source;  // what the copy must keep drawing
  Mesh copy = meshOf(kSquare);
  source.copyTo(copy);

  source.position.set(-2, 1, 0);
  source.rotationAngle = 90;
  source.vertices[0].position.set(-5, -5, 0);
  source.faces[0].corners = {2, 1, 0};
  source.draw(GL_TRIANGLES, GL_FLAT);

  EXPECT_EQ(copy.material, &kGrey);
  const auto drawn = drawnVertices(copy);
  const auto expected = drawnVertices(reference);
  ASSERT_EQ(drawn.size(), expected.size());
  for (std::size_t i = 0; i < drawn.size(); ++i) {
    EXPECT_NEAR(drawn[i][0], expected[i][0], 1e-3);
    EXPECT_NEAR(drawn[i][1], expected[i][1], 1e-3);
  }
}

TEST_F(MeshDrawing, NormalsComeBackToUnitLengthUnderLighting) {
  // Light straight from the viewer; a face towards it shows exactly its diffuse 0.5.
  const GLfloat direction[4] = {0, 0, 1, 0};
  const GLfloat white[4] = {1, 1, 1, 1};
  const GLfloat none[4] = {0, 0, 0, 1};
  glLightfv(GL_LIGHT0, GL_POSITION, direction);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
  glLightfv(GL_LIGHT0, GL_AMBIENT, none);
  glLightfv(GL_LIGHT0, GL_SPECULAR, none);
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
  glEnable(GL_LIGHT0);
  glEnable(GL_LIGHTING);

  // Extent 1 drawn at scale 0.5, and extent 4 drawn at scale 2.
  Mesh small = meshOf(kSquare);
  small.scale = 0.5;
  small.position.set(-2, 0, 0);
  small.material = &kGrey;
  Mesh large = meshOf(
      "Vertex 0 0 0 0\nVertex 1 4 0 0\nVertex 2 4 4 0\nVertex 3 0 4 0\nFace 0 0 1 2\nFace 1 0 2 "
      "3\n");
  large.scale = 2;
  large.position.set(2, 0, 0);
  large.material = &kGrey;
  for (GLenum shade : {GL_FLAT, GL_SMOOTH}) {
    small.draw(GL_TRIANGLES, shade);
    large.draw(GL_TRIANGLES, shade);
    EXPECT_NEAR(testenv::readPixel(200, 300).r, 128, 3);
    EXPECT_NEAR(testenv::readPixel(600, 300).r, 128, 3);
  }
  GLfloat diffuse[4];
  glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
  EXPECT_EQ(diffuse[0], 0.5f);
}

TEST_F(MeshDrawing, FlatSendsFaceNormalsAndSmoothVertexNormals) {
  const GLfloat direction[4] = {0, 0, 1, 0};
  const GLfloat white[4] = {1, 1, 1, 1};
  const GLfloat none[4] = {0, 0, 0, 1};
  glLightfv(GL_LIGHT0, GL_POSITION, direction);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
  glLightfv(GL_LIGHT0, GL_AMBIENT, none);
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
  glEnable(GL_LIGHT0);
  glEnable(GL_LIGHTING);
  // A folded square: the first triangle faces the light, the second leans away from it, so
  // the vertex normals on the fold lean too.
  Mesh fold = meshOf(
      "Vertex 0 0 0 0\nVertex 1 1 0 0\nVertex 2 1 1 0\nVertex 3 0 1 0.8\nFace 0 0 1 2\n"
      "Face 1 0 2 3\n");
  fold.scale = 2;
  fold.material = &kGrey;
  // Two points of the first triangle: near its lone corner, and near the fold.
  auto corner = [] { return testenv::readPixel(480, 220).r; };
  auto nearFold = [] { return testenv::readPixel(410, 290).r; };

  fold.draw(GL_TRIANGLES, GL_FLAT);
  EXPECT_NEAR(corner(), 128, 3);
  EXPECT_NEAR(nearFold(), corner(), 1);
  GLdouble normal[4];
  glGetDoublev(GL_CURRENT_NORMAL, normal);  // the last face's normal, times the scale
  EXPECT_NEAR(normal[2], fold.faces[1].normal.z * 2, 1e-6);

  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  fold.draw(GL_TRIANGLES, GL_SMOOTH);
  EXPECT_GT(corner(), nearFold() + 5);      // the fold's corners lean away from the light
  glGetDoublev(GL_CURRENT_NORMAL, normal);  // the last corner's vertex normal
  EXPECT_NEAR(normal[1], fold.vertices[3].normal.y * 2, 1e-6);
}

}  // namespace
