// The GL 1.x, GLU and GLUT entry points the game calls, answered by the drawing layer's
// Context instead of the system's libraries. gfx/gl.h maps the game's calls here when the game
// is built to draw through the layer; the signatures are GL's own.
#pragma once

#include <GL/freeglut.h>

#include "gfx/backend.h"

namespace brambleshot::gfx {

class Context;

// The context every call below goes to. installBackend must come first (start-up does it once
// the window and its GL context exist).
Context& context();
void installBackend(Backend& backend);

}  // namespace brambleshot::gfx

namespace brambleshot::gfx::api {

// Immediate mode and current attributes.
void glBegin(GLenum mode);
void glEnd();
void glVertex2d(GLdouble x, GLdouble y);
void glVertex3d(GLdouble x, GLdouble y, GLdouble z);
void glNormal3d(GLdouble x, GLdouble y, GLdouble z);
void glTexCoord2d(GLdouble s, GLdouble t);
void glColor3f(GLfloat r, GLfloat g, GLfloat b);
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a);

// Matrices.
void glMatrixMode(GLenum mode);
void glLoadIdentity();
void glPushMatrix();
void glPopMatrix();
void glTranslated(GLdouble x, GLdouble y, GLdouble z);
void glRotated(GLdouble angle, GLdouble x, GLdouble y, GLdouble z);
void glScaled(GLdouble x, GLdouble y, GLdouble z);
void glMultMatrixd(const GLdouble* m);
void glOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f);

// State.
void glEnable(GLenum cap);
void glDisable(GLenum cap);
void glLightfv(GLenum light, GLenum name, const GLfloat* values);
void glLightf(GLenum light, GLenum name, GLfloat value);
void glMaterialfv(GLenum face, GLenum name, const GLfloat* values);
void glShadeModel(GLenum mode);
void glBlendFunc(GLenum source, GLenum destination);
void glDepthFunc(GLenum func);
void glLineWidth(GLfloat width);
void glHint(GLenum target, GLenum mode);
void glViewport(GLint x, GLint y, GLsizei width, GLsizei height);
void glClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
void glClearDepth(GLdouble depth);
void glClear(GLbitfield mask);
void glFlush();

// Textures.
void glBindTexture(GLenum target, GLuint texture);
void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type, const void* pixels);
void glTexParameteri(GLenum target, GLenum name, GLint value);
void glTexParameterf(GLenum target, GLenum name, GLfloat value);

// Display lists.
GLuint glGenLists(GLsizei range);
void glNewList(GLuint list, GLenum mode);
void glEndList();
void glCallList(GLuint list);

// Queries and read-back.
GLenum glGetError();
void glGetIntegerv(GLenum name, GLint* values);
void glGetDoublev(GLenum name, GLdouble* values);
void glGetBooleanv(GLenum name, GLboolean* values);
void glPixelStorei(GLenum name, GLint value);
void glReadBuffer(GLenum mode);
void glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                  void* pixels);

// GLU.
GLUquadric* gluNewQuadric();
void gluDeleteQuadric(GLUquadric* quadric);
void gluQuadricNormals(GLUquadric* quadric, GLenum normals);
void gluQuadricTexture(GLUquadric* quadric, GLboolean texture);
void gluQuadricDrawStyle(GLUquadric* quadric, GLenum style);
void gluSphere(GLUquadric* quadric, GLdouble radius, GLint slices, GLint stacks);
void gluCylinder(GLUquadric* quadric, GLdouble base, GLdouble top, GLdouble height, GLint slices,
                 GLint stacks);
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar);
void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centreX, GLdouble centreY,
               GLdouble centreZ, GLdouble upX, GLdouble upY, GLdouble upZ);
GLint gluProject(GLdouble x, GLdouble y, GLdouble z, const GLdouble* modelview,
                 const GLdouble* projection, const GLint* viewport, GLdouble* winX, GLdouble* winY,
                 GLdouble* winZ);
GLint gluUnProject(GLdouble winX, GLdouble winY, GLdouble winZ, const GLdouble* modelview,
                   const GLdouble* projection, const GLint* viewport, GLdouble* x, GLdouble* y,
                   GLdouble* z);

// GLUT's drawing.
void glutSolidSphere(GLdouble radius, GLint slices, GLint stacks);
void glutSwapBuffers();

// GLUT's window and main loop, for the headless build (glut_headless.cpp): no window, no input.
// (The browser's GLUT keeps these names for its own.)
#if !defined(BRAMBLESHOT_HOST_BROWSER)
void glutInit(int* argc, char** argv);
void glutInitDisplayMode(unsigned int mode);
void glutInitWindowSize(int width, int height);
int glutCreateWindow(const char* title);
void glutDisplayFunc(void (*callback)());
void glutIdleFunc(void (*callback)());
void glutReshapeFunc(void (*callback)(int, int));
void glutMouseFunc(void (*callback)(int, int, int, int));
void glutMotionFunc(void (*callback)(int, int));
void glutPassiveMotionFunc(void (*callback)(int, int));
void glutKeyboardFunc(void (*callback)(unsigned char, int, int));
void glutSpecialFunc(void (*callback)(int, int, int));
void glutCloseFunc(void (*callback)());
void glutSetCursor(int cursor);
void glutSetOption(GLenum what, int value);
void glutFullScreen();
void glutLeaveFullScreen();
void glutReshapeWindow(int width, int height);
void glutPostRedisplay();
int glutGet(GLenum what);
void glutMainLoopEvent();
void glutMainLoop();
#endif

}  // namespace brambleshot::gfx::api
