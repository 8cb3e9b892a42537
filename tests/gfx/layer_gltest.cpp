// The drawing layer against the system's GL 1.x, GLU and GLUT on the same Mesa context: its
// matrices, lit colours, shapes and triangles are what the system makes of the same calls.
#include <GL/freeglut.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <random>
#include <vector>

#include "gfx/context.h"
#include "gfx/shapes.h"

namespace brambleshot::gfx {
namespace {

// One vertex as feedback reports it: window position, colour, texture coordinate.
struct Seen {
  std::array<double, 3> position;
  std::array<double, 4> colour;
  std::array<double, 2> texCoord;
  bool operator==(const Seen&) const = default;
};
using Triangle = std::array<Seen, 3>;

std::ostream& operator<<(std::ostream& out, const Seen& s) {
  return out << "(" << s.position[0] << ", " << s.position[1] << ", " << s.position[2] << ") rgba "
             << s.colour[0] << " " << s.colour[1] << " " << s.colour[2] << " " << s.colour[3]
             << " st " << s.texCoord[0] << " " << s.texCoord[1];
}

constexpr int kViewport[4] = {0, 0, 800, 600};

// Keeps what the layer draws, as window-space triangles like feedback's.
class CaptureBackend final : public Backend {
 public:
  std::vector<Triangle> triangles;

  void draw(Primitive primitive, const ClipVertex* v, std::size_t count,
            const DrawState& state) override {
    auto seen = [&](const ClipVertex& c) {
      const double w = c.position[3];
      return Seen{{state.viewport[0] + (c.position[0] / w * 0.5 + 0.5) * state.viewport[2],
                   state.viewport[1] + (c.position[1] / w * 0.5 + 0.5) * state.viewport[3],
                   c.position[2] / w * 0.5 + 0.5},
                  {c.colour[0], c.colour[1], c.colour[2], c.colour[3]},
                  {c.texCoord[0], c.texCoord[1]}};
    };
    for (std::size_t i = 0; primitive == Primitive::triangles && i + 2 < count; i += 3)
      triangles.push_back({seen(v[i]), seen(v[i + 1]), seen(v[i + 2])});
  }
  void clear(unsigned, const float*, double) override {}
  void textureImage(unsigned, int, int, const unsigned char*, bool) override {}
  void textureParameter(unsigned, unsigned, int) override {}
  void readPixels(int, int, int, int, unsigned char*) override {}
  int maxTextureSize() const override { return 16384; }
};

// The triangles the system's pipeline makes of draw(), read through feedback mode.
std::vector<Triangle> systemTriangles(const std::function<void()>& draw) {
  static std::vector<GLfloat> buffer(1 << 17);
  glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
  glRenderMode(GL_FEEDBACK);
  draw();
  const GLint used = glRenderMode(GL_RENDER);
  EXPECT_GE(used, 0) << "feedback buffer too small";
  std::vector<Triangle> triangles;
  constexpr int kFloats = 11;  // x y z, r g b a, s t r q
  auto seen = [&](int at) {
    const GLfloat* f = &buffer[static_cast<std::size_t>(at)];
    return Seen{{f[0], f[1], f[2]}, {f[3], f[4], f[5], f[6]}, {f[7] / f[10], f[8] / f[10]}};
  };
  for (int at = 0; at < used;) {
    const auto token = static_cast<GLint>(buffer[static_cast<std::size_t>(at++)]);
    if (token == GL_POLYGON_TOKEN) {
      const auto count = static_cast<int>(buffer[static_cast<std::size_t>(at++)]);
      EXPECT_EQ(count, 3) << "feedback clipped a polygon: keep the shapes inside the view";
      if (count == 3) triangles.push_back({seen(at), seen(at + kFloats), seen(at + 2 * kFloats)});
      at += count * kFloats;
    } else {
      ADD_FAILURE() << "unexpected feedback token " << token;
      break;
    }
  }
  return triangles;
}

double area(const Triangle& t) {
  return (t[1].position[0] - t[0].position[0]) * (t[2].position[1] - t[0].position[1]) -
         (t[2].position[0] - t[0].position[0]) * (t[1].position[1] - t[0].position[1]);
}

// Degenerate triangles out, the rest turned (winding kept) to start at their lowest corner.
std::vector<Triangle> canonical(std::vector<Triangle> list) {
  std::erase_if(list, [](const Triangle& t) { return std::fabs(area(t)) < 1e-3; });
  auto key = [](const Seen& s) {
    return std::array<double, 2>{std::round(s.position[0] * 64), std::round(s.position[1] * 64)};
  };
  for (Triangle& t : list) {
    int first = 0;
    for (int i = 1; i < 3; ++i)
      if (key(t[i]) < key(t[first])) first = i;
    std::rotate(t.begin(), t.begin() + first, t.end());
  }
  std::ranges::sort(list, [&](const Triangle& a, const Triangle& b) {
    return std::ranges::lexicographical_compare(a, b, {}, key, key);
  });
  return list;
}

// Positions within a thousandth of a pixel, colours within a fiftieth of an 8-bit level.
void expectSameTriangles(std::vector<Triangle> ours, std::vector<Triangle> system, const char* what,
                         bool textured = false) {
  ours = canonical(std::move(ours));
  system = canonical(std::move(system));
  ASSERT_EQ(ours.size(), system.size()) << what;
  int reported = 0;
  for (std::size_t i = 0; i < ours.size() && reported < 5; ++i)
    for (int k = 0; k < 3; ++k) {
      const Seen &a = ours[i][k], &b = system[i][k];
      bool same = true;
      for (int c = 0; c < 3; ++c)
        same = same && std::fabs(a.position[c] - b.position[c]) < (c == 2 ? 1e-5 : 1e-3);
      for (int c = 0; c < 4; ++c)
        same = same && std::fabs(a.colour[c] - b.colour[c]) < 1.0 / 255 / 50;
      for (int c = 0; c < 2 && textured; ++c)
        same = same && std::fabs(a.texCoord[c] - b.texCoord[c]) < 1e-5;
      if (!same && reported++ < 5)
        ADD_FAILURE() << what << ": triangle " << i << " corner " << k << ": ours " << a
                      << ", system " << b;
    }
}

// Both pipelines reset to GL's initial state, looking at the origin from z = 5.
class Layer : public ::testing::Test {
 protected:
  CaptureBackend capture;
  Context gl{capture};

  void SetUp() override {
    glViewport(kViewport[0], kViewport[1], kViewport[2], kViewport[3]);
    gl.viewport(kViewport[0], kViewport[1], kViewport[2], kViewport[3]);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(50, 800.0 / 600.0, 1, 20);
    gl.matrixMode(GL_PROJECTION);
    gl.multMatrix(perspective(50, 800.0 / 600.0, 1, 20));
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gl.matrixMode(GL_MODELVIEW);
    gl.multMatrix(lookAt(0, 0, 5, 0, 0, 0, 0, 1, 0));
    gl.translate(0, 0, -5);
    // The layer starts at GL's initial state; the system keeps what earlier tests left, so it is
    // reset to the defaults (lights set under an identity modelview).
    for (GLenum cap : {GL_LIGHTING, GL_TEXTURE_2D, GL_BLEND, GL_DEPTH_TEST, GL_CULL_FACE})
      glDisable(cap);
    const float white[4] = {1, 1, 1, 1}, black[4] = {0, 0, 0, 1}, z[4] = {0, 0, 1, 0};
    const float down[3] = {0, 0, -1}, grey[4] = {0.2f, 0.2f, 0.2f, 1},
                light[4] = {.8f, .8f, .8f, 1};
    for (GLenum l = GL_LIGHT0; l < GL_LIGHT0 + 8; ++l) {
      glDisable(l);
      glLightfv(l, GL_AMBIENT, black);
      glLightfv(l, GL_DIFFUSE, l == GL_LIGHT0 ? white : black);
      glLightfv(l, GL_SPECULAR, l == GL_LIGHT0 ? white : black);
      glLightfv(l, GL_POSITION, z);
      glLightfv(l, GL_SPOT_DIRECTION, down);
      glLightf(l, GL_SPOT_CUTOFF, 180);
      glLightf(l, GL_CONSTANT_ATTENUATION, 1);
      for (GLenum name : {GL_SPOT_EXPONENT, GL_LINEAR_ATTENUATION, GL_QUADRATIC_ATTENUATION})
        glLightf(l, name, 0);
    }
    gluLookAt(0, 0, 5, 0, 0, 0, 0, 1, 0);
    for (auto [name, values] : {std::pair{GL_AMBIENT, grey},
                                {GL_DIFFUSE, light},
                                {GL_SPECULAR, black},
                                {GL_EMISSION, black}})
      glMaterialfv(GL_FRONT_AND_BACK, name, values);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 0);
    glShadeModel(GL_SMOOTH);
    glColor4f(1, 1, 1, 1);
  }

  // Sends the same light parameter to both pipelines.
  void light(GLenum which, GLenum name, std::initializer_list<float> values) {
    glLightfv(which, name, values.begin());
    gl.light(which, name, values.begin());
  }
  void material(GLenum name, std::initializer_list<float> values) {
    glMaterialfv(GL_FRONT_AND_BACK, name, values.begin());
    gl.material(name, values.begin());
  }
};

// The world aims through the matrices it reads back, so they must be GL's to the last bit.
TEST_F(Layer, MatrixStacksFollowTheSystemsThroughRandomTransformsToTheBit) {
  std::mt19937 random(1765);
  std::uniform_real_distribution<double> any(-3, 3);
  std::uniform_int_distribution<int> pick(0, 9);
  int depth[2] = {1, 1};
  for (int step = 0; step < 400; ++step) {
    const bool projection = step % 7 == 3;
    glMatrixMode(projection ? GL_PROJECTION : GL_MODELVIEW);
    gl.matrixMode(projection ? GL_PROJECTION : GL_MODELVIEW);
    const double a = any(random), b = any(random), c = any(random), d = any(random);
    switch (pick(random)) {
      case 0:
        glTranslated(a, b, c);
        gl.translate(a, b, c);
        break;
      case 1:
      case 2:
        glRotated(a * 60, b, c, d);
        gl.rotate(a * 60, b, c, d);
        break;
      case 3:
        glScaled(a, b, c);
        gl.scale(a, b, c);
        break;
      case 4:
        if (depth[projection] < (projection ? 2 : 20)) {
          glPushMatrix();
          gl.pushMatrix();
          ++depth[projection];
        }
        break;
      case 5:
        if (depth[projection] > 1) {
          glPopMatrix();
          gl.popMatrix();
          --depth[projection];
        }
        break;
      case 6:
        glLoadIdentity();
        gl.loadIdentity();
        break;
      case 7:
        glOrtho(a - 4, a + 4, b - 3, b + 3, -1, 10 + c);
        gl.ortho(a - 4, a + 4, b - 3, b + 3, -1, 10 + c);
        break;
      case 8:
        gluPerspective(30 + 10 * std::fabs(a), 1 + std::fabs(b), 0.5, 50);
        gl.multMatrix(perspective(30 + 10 * std::fabs(a), 1 + std::fabs(b), 0.5, 50));
        break;
      default:
        gluLookAt(a, b, c + 8, d, a, b, 0, 1, 0.1);
        gl.multMatrix(lookAt(a, b, c + 8, d, a, b, 0, 1, 0.1));
        gl.translate(-a, -b, -(c + 8));
        break;
    }
    std::array<double, 16> modelview, projectionMatrix;
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview.data());
    glGetDoublev(GL_PROJECTION_MATRIX, projectionMatrix.data());
    ASSERT_EQ(gl.modelview().m, modelview) << "after step " << step;
    ASSERT_EQ(gl.projection().m, projectionMatrix) << "after step " << step;
    // Keep the numbers from growing without bound.
    if (step % 25 == 24) {
      glLoadIdentity();
      gl.loadIdentity();
    }
  }
  for (int s = 0; s < 2; ++s) {
    glMatrixMode(s ? GL_PROJECTION : GL_MODELVIEW);
    while (depth[s]-- > 1)
      glPopMatrix();
  }
}

TEST_F(Layer, ProjectAndUnprojectAgreeWithGluToTheBit) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> any(-2, 2);
  for (int round = 0; round < 50; ++round) {
    const Mat4 mv = rotation(any(random) * 90, any(random), any(random), 1) *
                    translation(any(random), any(random), -6 + any(random));
    const Mat4 pr = perspective(40 + 10 * any(random), 1.3, 0.5, 30);
    const int viewport[4] = {100, 0, 700, 600};
    const double x = any(random), y = any(random), z = any(random);
    std::array<double, 3> ours, glu;
    ASSERT_TRUE(project(x, y, z, mv, pr, viewport, ours[0], ours[1], ours[2]));
    ASSERT_EQ(gluProject(x, y, z, mv.m.data(), pr.m.data(), viewport, &glu[0], &glu[1], &glu[2]),
              GL_TRUE);
    EXPECT_EQ(ours, glu);
    const double winZ = (round % 5) / 4.0;
    ASSERT_TRUE(unproject(ours[0], ours[1], winZ, mv, pr, viewport, ours[0], ours[1], ours[2]));
    ASSERT_EQ(gluUnProject(glu[0], glu[1], winZ, mv.m.data(), pr.m.data(), viewport, &glu[0],
                           &glu[1], &glu[2]),
              GL_TRUE);
    EXPECT_EQ(ours, glu);
  }
  // A singular matrix cannot be un-projected, by either.
  const Mat4 flat = scaling(1, 0, 1);
  double x, y, z;
  EXPECT_FALSE(unproject(10, 10, 0.5, flat, Mat4{}, kViewport, x, y, z));
}

// Random lights of every kind, materials and surfaces: the layer's colours are the fixed-function
// pipeline's, vertex by vertex.
TEST_F(Layer, LightingMatchesTheFixedFunctionPipeline) {
  std::mt19937 random(4242);
  std::uniform_real_distribution<float> unit(0, 1);
  std::uniform_real_distribution<float> any(-1, 1);
  glEnable(GL_LIGHTING);
  gl.enable(GL_LIGHTING);
  for (int round = 0; round < 12; ++round) {
    for (int i = 0; i < 5; ++i) {
      const GLenum l = GL_LIGHT0 + i;
      const bool on = unit(random) < 0.7f;
      on ? glEnable(l) : glDisable(l);
      gl.enable(l, on);
      light(l, GL_AMBIENT, {0.3f * unit(random), 0.3f * unit(random), 0.3f * unit(random), 1});
      light(l, GL_DIFFUSE, {unit(random), unit(random), unit(random), 1});
      light(l, GL_SPECULAR, {unit(random), unit(random), unit(random), 1});
      // Set under a transform, as the game places its lights in the world.
      glPushMatrix();
      gl.pushMatrix();
      const float turn = 90 * any(random);
      glRotatef(turn, 0.2f, 1, 0);
      gl.rotate(turn, 0.2, 1, 0);
      const float w = unit(random) < 0.3f ? 0.0f : 1.0f;
      light(l, GL_POSITION, {3 * any(random), 3 * any(random), 3 * any(random), w});
      light(l, GL_SPOT_DIRECTION, {any(random), any(random), any(random)});
      glPopMatrix();
      gl.popMatrix();
      const float spot = unit(random) < 0.5f ? 180.0f : 10 + 80 * unit(random);
      light(l, GL_SPOT_CUTOFF, {spot});
      light(l, GL_SPOT_EXPONENT, {20 * unit(random)});
      light(l, GL_CONSTANT_ATTENUATION, {0.5f + unit(random)});
      light(l, GL_LINEAR_ATTENUATION, {0.5f * unit(random)});
      light(l, GL_QUADRATIC_ATTENUATION, {0.2f * unit(random)});
    }
    material(GL_AMBIENT, {unit(random), unit(random), unit(random), 1});
    material(GL_DIFFUSE, {unit(random), unit(random), unit(random), unit(random)});
    material(GL_SPECULAR, {unit(random), unit(random), unit(random), 1});
    material(GL_EMISSION, {0.2f * unit(random), 0.2f * unit(random), 0.2f * unit(random), 1});
    material(GL_SHININESS, {100 * unit(random)});
    auto draw = [&](auto normal, auto vertex) {
      std::mt19937 shape(static_cast<unsigned>(round));
      std::uniform_real_distribution<double> place(-1.5, 1.5);
      for (int t = 0; t < 30; ++t) {
        const double x = place(shape), y = place(shape), z = place(shape);
        for (int k = 0; k < 3; ++k) {
          normal(place(shape), place(shape), 1.0);
          vertex(x + (k == 1 ? 0.2 : 0.0), y + (k == 2 ? 0.2 : 0.0), z);
        }
      }
    };
    const auto system = systemTriangles([&] {
      glBegin(GL_TRIANGLES);
      draw(glNormal3d, glVertex3d);
      glEnd();
    });
    capture.triangles.clear();
    gl.begin(GL_TRIANGLES);
    draw([&](double x, double y, double z) { gl.normal(x, y, z); },
         [&](double x, double y, double z) { gl.vertex(x, y, z); });
    gl.end();
    expectSameTriangles(capture.triangles, system, "lit triangles");
  }
}

// Every primitive the game or its shapes use, split as the system splits it, smooth and flat.
TEST_F(Layer, PrimitivesAreSplitAndShadedAsTheSystemDoes) {
  const GLenum modes[] = {GL_TRIANGLES, GL_TRIANGLE_STRIP, GL_TRIANGLE_FAN,
                          GL_QUADS,     GL_QUAD_STRIP,     GL_POLYGON};
  for (GLenum shade : {GL_SMOOTH, GL_FLAT})
    for (int m = 0; m < 6; ++m) {
      SCOPED_TRACE(::testing::Message()
                   << "mode " << modes[m] << (shade == GL_FLAT ? " flat" : ""));
      glShadeModel(shade);
      gl.shadeModel(shade);
      // Eight vertices, no triangles overlapping, bent out of plane: a convex ring for a fan and
      // a polygon, side-by-side quads, a zigzag for the rest.
      auto draw = [&](auto colour, auto vertex) {
        for (int i = 0; i < 8; ++i) {
          double x = -1.5 + 0.7 * (i / 2) + 0.2 * (i % 2), y = i % 2 ? 0.8 : -0.8 + 0.1 * i;
          if (m == 2 || m == 5) {
            x = 1.5 * std::cos(i * 0.7);
            y = 1.5 * std::sin(i * 0.7);
          } else if (m == 3) {
            const int corner = i % 4;
            x = -1.5 + 1.4 * (i / 4) + (corner == 1 || corner == 2 ? 1.1 : 0.0);
            y = corner >= 2 ? 0.8 + 0.1 * i : -0.8;
          }
          colour(i / 8.0, 1 - i / 8.0, (i * 3 % 8) / 8.0);
          vertex(x, y, 0.3 * (i % 3));
        }
      };
      auto drawSystem = [&] {
        glBegin(modes[m]);
        draw(glColor3d, glVertex3d);
        glEnd();
      };
      const auto system = systemTriangles(drawSystem);
      capture.triangles.clear();
      gl.begin(modes[m]);
      draw([&](double r, double g, double b) { gl.colour(r, g, b); },
           [&](double x, double y, double z) { gl.vertex(x, y, z); });
      gl.end();
      if (shade == GL_SMOOTH) {
        expectSameTriangles(capture.triangles, system, "smooth");
        continue;
      }
      // Feedback gives each vertex its own colour even when flat: read the system's fill instead.
      glClear(GL_COLOR_BUFFER_BIT);
      drawSystem();
      for (const Triangle& t : capture.triangles) {
        if (std::fabs(area(t)) < 400) continue;
        const int x =
            static_cast<int>((t[0].position[0] + t[1].position[0] + t[2].position[0]) / 3);
        const int y =
            static_cast<int>((t[0].position[1] + t[1].position[1] + t[2].position[1]) / 3);
        unsigned char pixel[3];
        glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, pixel);
        EXPECT_TRUE(t[0].colour == t[1].colour && t[0].colour == t[2].colour) << t[0] << t[1];
        for (int c = 0; c < 3; ++c)
          EXPECT_NEAR(t[0].colour[c] * 255, pixel[c], 1.0) << "at " << x << ", " << y;
      }
    }
}

// GLU's sphere and cylinder (with and without texture coordinates) and GLUT's solid sphere:
// the same triangles, normals (seen through the lighting) and texture coordinates.
TEST_F(Layer, ShapesAreTheSystemLibrariesShapes) {
  glEnable(GL_LIGHTING);
  gl.enable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  gl.enable(GL_LIGHT0);
  material(GL_SPECULAR, {0.5f, 0.5f, 0.5f, 1});
  material(GL_SHININESS, {20});
  GLUquadric* system = gluNewQuadric();
  gluQuadricNormals(system, GLU_SMOOTH);
  struct Shape {
    const char* what;
    int kind;  // 0 sphere, 1 cylinder, 2 GLUT's sphere
    bool texture;
    double a, b, c;
    int slices, stacks;
  };
  const Shape shapes[] = {
      {"sphere 16 x 16, textured", 0, true, 1.2, 0, 0, 16, 16},
      {"sphere 16 x 16", 0, false, 1.2, 0, 0, 16, 16},
      {"sphere 5 x 3", 0, false, 1.0, 0, 0, 5, 3},
      {"sphere 7 x 2, textured", 0, true, 1.0, 0, 0, 7, 2},
      {"cylinder 16 x 16, textured", 1, true, 0.6, 0.6, 1.5, 16, 16},
      {"cone 16 x 4", 1, false, 0.8, 0.0, 1.0, 16, 4},
      {"cylinder 3 x 1, widening", 1, false, 0.2, 0.9, 0.7, 3, 1},
      {"GLUT sphere 16 x 16", 2, false, 1.1, 0, 0, 16, 16},
      {"GLUT sphere 6 x 3", 2, false, 1.0, 0, 0, 6, 3},
  };
  for (const std::array<float, 4>& from :
       {std::array<float, 4>{0.3f, 0.5f, 1, 0}, std::array<float, 4>{-1, 0.2f, 0.1f, 0}}) {
    light(GL_LIGHT0, GL_POSITION, {from[0], from[1], from[2], from[3]});
    for (const Shape& s : shapes) {
      gluQuadricTexture(system, s.texture ? GL_TRUE : GL_FALSE);
      Quadric ours{.texture = s.texture};
      // Turned so that every side of the shape faces the camera somewhere.
      glPushMatrix();
      glRotated(70, 1, 0.3, 0);
      gl.pushMatrix();
      gl.rotate(70, 1, 0.3, 0);
      const auto seen = systemTriangles([&] {
        if (s.kind == 0) gluSphere(system, s.a, s.slices, s.stacks);
        if (s.kind == 1) gluCylinder(system, s.a, s.b, s.c, s.slices, s.stacks);
        if (s.kind == 2) glutSolidSphere(s.a, s.slices, s.stacks);
      });
      capture.triangles.clear();
      if (s.kind == 0) sphere(gl, ours, s.a, s.slices, s.stacks);
      if (s.kind == 1) cylinder(gl, ours, s.a, s.b, s.c, s.slices, s.stacks);
      if (s.kind == 2) solidSphere(gl, s.a, s.slices, s.stacks);
      glPopMatrix();
      gl.popMatrix();
      expectSameTriangles(capture.triangles, seen, s.what, s.texture);
    }
  }
  gluDeleteQuadric(system);
}

// A display list draws exactly what its calls draw immediately, nested lists and the state
// changes inside them included, and it draws nothing while it is being compiled.
TEST_F(Layer, DisplayListsDrawWhatTheirCallsDrawImmediately) {
  Quadric quadric{.texture = true};
  const float red[4] = {0.9f, 0.1f, 0.1f, 1};
  const float shine[1] = {30};
  const float lamp[4] = {1, 2, 3, 1};
  auto inner = [&] {
    gl.material(GL_DIFFUSE, red);
    gl.material(GL_SHININESS, shine);
    sphere(gl, quadric, 0.5, 8, 6);
  };
  auto outer = [&](unsigned innerList) {
    gl.pushMatrix();
    gl.translate(0.5, -0.2, 0.1);
    gl.rotate(30, 0, 0, 1);
    gl.light(GL_LIGHT1, GL_POSITION, lamp);  // placed by the list's own transform
    gl.enable(GL_LIGHT1);
    gl.shadeModel(GL_FLAT);
    if (innerList)
      gl.callList(innerList);
    else
      inner();
    gl.shadeModel(GL_SMOOTH);
    gl.scale(1, 2, 1);
    gl.begin(GL_QUADS);
    gl.normal(0, 0, 1);
    gl.colour(0.2, 0.4, 0.6);
    for (double x : {0.0, 1.0, 1.0, 0.0})
      gl.vertex(x, x * 0.5, 0);
    gl.end();
    gl.popMatrix();
  };
  gl.enable(GL_LIGHTING);
  gl.enable(GL_LIGHT0);
  outer(0);
  const auto immediate = capture.triangles;
  ASSERT_FALSE(immediate.empty());

  gl.enable(GL_LIGHT1, false);
  const unsigned first = gl.genLists(2);
  ASSERT_NE(first, 0u);
  capture.triangles.clear();
  gl.newList(first);
  EXPECT_EQ(gl.listIndex(), first);
  inner();
  gl.endList();
  gl.newList(first + 1);
  outer(first);
  gl.endList();
  EXPECT_EQ(gl.listIndex(), 0u);
  EXPECT_TRUE(capture.triangles.empty()) << "compiling a list drew";
  EXPECT_FALSE(gl.isEnabled(GL_LIGHT1)) << "compiling a list changed the state";
  // Drawing goes on as before once the list is closed.
  gl.begin(GL_TRIANGLES);
  gl.vertex(0, 0, 0);
  gl.vertex(0.5, 0, 0);
  gl.vertex(0, 0.5, 0);
  gl.end();
  ASSERT_EQ(capture.triangles.size(), 1u) << "a primitive after the list was not drawn";
  capture.triangles.clear();
  gl.callList(first + 1);
  EXPECT_EQ(capture.triangles, immediate);
  EXPECT_TRUE(gl.isEnabled(GL_LIGHT1));
}

}  // namespace
}  // namespace brambleshot::gfx
