// The game's GL, GLU and GLUT calls answered by the drawing layer.
#include "gfx/api.h"

#include <algorithm>
#include <memory>

#include "gfx/context.h"
#include "gfx/shapes.h"

namespace brambleshot::gfx {

namespace {

HeadlessBackend nothing;  // until a backend is installed, calls keep state and draw nothing
std::unique_ptr<Context> current;

Quadric& quadricOf(GLUquadric* quadric) {
  return *reinterpret_cast<Quadric*>(quadric);
}

}  // namespace

Context& context() {
  if (!current) current = std::make_unique<Context>(nothing);
  return *current;
}

void installBackend(Backend& backend) {
  current = std::make_unique<Context>(backend);
}

}  // namespace brambleshot::gfx

namespace brambleshot::gfx::api {

void glBegin(GLenum mode) {
  context().begin(mode);
}
void glEnd() {
  context().end();
}
void glVertex2d(GLdouble x, GLdouble y) {
  context().vertex(x, y, 0.0);
}
void glVertex3d(GLdouble x, GLdouble y, GLdouble z) {
  context().vertex(x, y, z);
}
void glNormal3d(GLdouble x, GLdouble y, GLdouble z) {
  context().normal(x, y, z);
}
void glTexCoord2d(GLdouble s, GLdouble t) {
  context().texCoord(s, t);
}
void glColor3f(GLfloat r, GLfloat g, GLfloat b) {
  context().colour(r, g, b, 1.0);
}
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
  context().colour(r, g, b, a);
}

void glMatrixMode(GLenum mode) {
  context().matrixMode(mode);
}
void glLoadIdentity() {
  context().loadIdentity();
}
void glPushMatrix() {
  context().pushMatrix();
}
void glPopMatrix() {
  context().popMatrix();
}
void glTranslated(GLdouble x, GLdouble y, GLdouble z) {
  context().translate(x, y, z);
}
void glRotated(GLdouble angle, GLdouble x, GLdouble y, GLdouble z) {
  context().rotate(angle, x, y, z);
}
void glScaled(GLdouble x, GLdouble y, GLdouble z) {
  context().scale(x, y, z);
}
void glMultMatrixd(const GLdouble* m) {
  context().multMatrix(Mat4::fromColumns(m));
}
void glOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
  context().ortho(l, r, b, t, n, f);
}

void glEnable(GLenum cap) {
  context().enable(cap, true);
}
void glDisable(GLenum cap) {
  context().enable(cap, false);
}
void glLightfv(GLenum light, GLenum name, const GLfloat* values) {
  context().light(light, name, values);
}
void glLightf(GLenum light, GLenum name, GLfloat value) {
  context().light(light, name, &value);
}
void glMaterialfv(GLenum, GLenum name, const GLfloat* values) {
  context().material(name, values);
}
void glShadeModel(GLenum mode) {
  context().shadeModel(mode);
}
void glBlendFunc(GLenum source, GLenum destination) {
  context().blendFunc(source, destination);
}
void glDepthFunc(GLenum func) {
  context().depthFunc(func);
}
void glLineWidth(GLfloat width) {
  context().lineWidth(width);
}
void glHint(GLenum, GLenum) {}  // perspective-correct texturing is the only kind there is
void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
  context().viewport(x, y, width, height);
}
void glClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
  context().clearColor(r, g, b, a);
}
void glClearDepth(GLdouble depth) {
  context().clearDepth(depth);
}
void glClear(GLbitfield mask) {
  context().clear(mask);
}
void glFlush() {
  context().flush();
}

void glBindTexture(GLenum, GLuint texture) {
  context().bindTexture(texture);
}
void glTexImage2D(GLenum, GLint level, GLint, GLsizei width, GLsizei height, GLint, GLenum format,
                  GLenum type, const void* pixels) {
  // The game gives only level 0 of RGB bytes.
  if (level != 0 || format != GL_RGB || type != GL_UNSIGNED_BYTE) return;
  context().texImage2D(width, height, static_cast<const unsigned char*>(pixels));
}
void glTexParameteri(GLenum, GLenum name, GLint value) {
  context().texParameter(name, value);
}
void glTexParameterf(GLenum, GLenum name, GLfloat value) {
  context().texParameter(name, static_cast<GLint>(value));
}

GLuint glGenLists(GLsizei range) {
  return context().genLists(range);
}
void glNewList(GLuint list, GLenum) {
  context().newList(list);
}
void glEndList() {
  context().endList();
}
void glCallList(GLuint list) {
  context().callList(list);
}

GLenum glGetError() {
  return context().takeError();
}
void glGetIntegerv(GLenum name, GLint* values) {
  Context& gl = context();
  if (name == GL_VIEWPORT) gl.getViewport(values);
  if (name == GL_LIST_INDEX) values[0] = static_cast<GLint>(gl.listIndex());
  if (name == GL_MAX_TEXTURE_SIZE) values[0] = gl.maxTextureSize();
}
void glGetDoublev(GLenum name, GLdouble* values) {
  const Context& gl = context();
  if (name == GL_MODELVIEW_MATRIX)
    std::copy(gl.modelview().m.begin(), gl.modelview().m.end(), values);
  if (name == GL_PROJECTION_MATRIX)
    std::copy(gl.projection().m.begin(), gl.projection().m.end(), values);
}
void glGetBooleanv(GLenum name, GLboolean* values) {
  values[0] = context().isEnabled(name) ? GL_TRUE : GL_FALSE;
}
void glPixelStorei(GLenum, GLint) {}  // read-back is always tightly packed
void glReadBuffer(GLenum) {}          // and always of the frame being drawn
void glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                  void* pixels) {
  if (format != GL_RGB || type != GL_UNSIGNED_BYTE || width <= 0 || height <= 0) return;
  context().readPixels(x, y, width, height, static_cast<unsigned char*>(pixels));
}

GLUquadric* gluNewQuadric() {
  return reinterpret_cast<GLUquadric*>(new Quadric);
}
void gluDeleteQuadric(GLUquadric* quadric) {
  delete reinterpret_cast<Quadric*>(quadric);
}
void gluQuadricNormals(GLUquadric* quadric, GLenum normals) {
  quadricOf(quadric).normals = normals == GLU_NONE   ? Quadric::Normals::none
                               : normals == GLU_FLAT ? Quadric::Normals::flat
                                                     : Quadric::Normals::smooth;
}
void gluQuadricTexture(GLUquadric* quadric, GLboolean texture) {
  quadricOf(quadric).texture = texture == GL_TRUE;
}
void gluQuadricDrawStyle(GLUquadric*, GLenum) {}  // the game fills every quadric
void gluSphere(GLUquadric* quadric, GLdouble radius, GLint slices, GLint stacks) {
  sphere(context(), quadricOf(quadric), radius, slices, stacks);
}
void gluCylinder(GLUquadric* quadric, GLdouble base, GLdouble top, GLdouble height, GLint slices,
                 GLint stacks) {
  cylinder(context(), quadricOf(quadric), base, top, height, slices, stacks);
}
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
  context().multMatrix(perspective(fovy, aspect, zNear, zFar));
}
void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centreX, GLdouble centreY,
               GLdouble centreZ, GLdouble upX, GLdouble upY, GLdouble upZ) {
  context().multMatrix(lookAt(eyeX, eyeY, eyeZ, centreX, centreY, centreZ, upX, upY, upZ));
  context().translate(-eyeX, -eyeY, -eyeZ);
}
GLint gluProject(GLdouble x, GLdouble y, GLdouble z, const GLdouble* modelview,
                 const GLdouble* projection, const GLint* viewport, GLdouble* winX, GLdouble* winY,
                 GLdouble* winZ) {
  return project(x, y, z, Mat4::fromColumns(modelview), Mat4::fromColumns(projection), viewport,
                 *winX, *winY, *winZ)
             ? GL_TRUE
             : GL_FALSE;
}
GLint gluUnProject(GLdouble winX, GLdouble winY, GLdouble winZ, const GLdouble* modelview,
                   const GLdouble* projection, const GLint* viewport, GLdouble* x, GLdouble* y,
                   GLdouble* z) {
  return unproject(winX, winY, winZ, Mat4::fromColumns(modelview), Mat4::fromColumns(projection),
                   viewport, *x, *y, *z)
             ? GL_TRUE
             : GL_FALSE;
}

void glutSolidSphere(GLdouble radius, GLint slices, GLint stacks) {
  solidSphere(context(), radius, slices, stacks);
}
void glutSwapBuffers() {
  context().swapBuffers();
}

}  // namespace brambleshot::gfx::api
