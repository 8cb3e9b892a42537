// A mesh drawn through its cached display list gives exactly the pixels of the same mesh sent
// face by face, and the list follows a reload.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "world/lighting.h"
#include "assets/mesh.h"
#include "support/gl_env.h"

namespace {

using brambleshot::Mesh;

std::vector<unsigned char> drawAndRead(Mesh& mesh, bool immediate) {
  glViewport(0, 0, 200, 200);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(60, 1, 0.5, 10);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  gluLookAt(0, 0.3, -2, 0, 0, 0, 0, 1, 0);
  brambleshot::applyLight(GL_LIGHT0, brambleshot::sunLight);
  mesh.rotationAngle = 25;  // the turn is folded outside the list, so it still shows
  if (immediate) {
    // While a list is being compiled, the mesh sends its faces one by one.
    const GLuint outer = glGenLists(1);
    glNewList(outer, GL_COMPILE_AND_EXECUTE);
    mesh.draw(GL_TRIANGLES, GL_SMOOTH);
    glEndList();
    glDeleteLists(outer, 1);
  } else {
    mesh.draw(GL_TRIANGLES, GL_SMOOTH);
  }
  glLoadIdentity();
  std::vector<unsigned char> pixels(200 * 200 * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, 200, 200, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

TEST(MeshList, CachedFacesDrawTheSamePixelsAsFacesSentOneByOne) {
  Mesh listed, sent;
  listed.load("./Resources/Wheel.m", 0);
  sent.load("./Resources/Wheel.m", 0);
  listed.material = sent.material = &brambleshot::wheelMaterial;
  for (int frame = 0; frame < 3; ++frame) {
    const std::vector<unsigned char> a = drawAndRead(listed, false);
    const std::vector<unsigned char> b = drawAndRead(sent, true);
    EXPECT_EQ(a, b) << "frame " << frame;
    EXPECT_NE(std::count(a.begin(), a.end(), 0), static_cast<long>(a.size()));  // drawn
  }
  // A reload replaces the faces: the next draw shows the new model, not the cached one.
  listed.load("./Resources/Tank.m", 0);
  sent.load("./Resources/Tank.m", 0);
  EXPECT_EQ(drawAndRead(listed, false), drawAndRead(sent, true));
}

}  // namespace
