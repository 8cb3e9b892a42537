// What the game includes to draw: GL 1.x, GLU and GLUT. Built as it comes (the classic
// backend) these are the system's libraries; built with the drawing layer (the shaders or
// headless backend) the same names reach gfx::api, so the game's drawing code reads the same
// either way.
#pragma once

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glu.h>

#if defined(BRAMBLESHOT_DRAWING_LAYER)
#include "gfx/api.h"

#define glBegin ::brambleshot::gfx::api::glBegin
#define glEnd ::brambleshot::gfx::api::glEnd
#define glVertex2d ::brambleshot::gfx::api::glVertex2d
#define glVertex3d ::brambleshot::gfx::api::glVertex3d
#define glNormal3d ::brambleshot::gfx::api::glNormal3d
#define glTexCoord2d ::brambleshot::gfx::api::glTexCoord2d
#define glColor3f ::brambleshot::gfx::api::glColor3f
#define glColor4f ::brambleshot::gfx::api::glColor4f
#define glMatrixMode ::brambleshot::gfx::api::glMatrixMode
#define glLoadIdentity ::brambleshot::gfx::api::glLoadIdentity
#define glPushMatrix ::brambleshot::gfx::api::glPushMatrix
#define glPopMatrix ::brambleshot::gfx::api::glPopMatrix
#define glTranslated ::brambleshot::gfx::api::glTranslated
#define glRotated ::brambleshot::gfx::api::glRotated
#define glScaled ::brambleshot::gfx::api::glScaled
#define glMultMatrixd ::brambleshot::gfx::api::glMultMatrixd
#define glOrtho ::brambleshot::gfx::api::glOrtho
#define glEnable ::brambleshot::gfx::api::glEnable
#define glDisable ::brambleshot::gfx::api::glDisable
#define glLightfv ::brambleshot::gfx::api::glLightfv
#define glLightf ::brambleshot::gfx::api::glLightf
#define glMaterialfv ::brambleshot::gfx::api::glMaterialfv
#define glShadeModel ::brambleshot::gfx::api::glShadeModel
#define glBlendFunc ::brambleshot::gfx::api::glBlendFunc
#define glDepthFunc ::brambleshot::gfx::api::glDepthFunc
#define glLineWidth ::brambleshot::gfx::api::glLineWidth
#define glHint ::brambleshot::gfx::api::glHint
#define glViewport ::brambleshot::gfx::api::glViewport
#define glClearColor ::brambleshot::gfx::api::glClearColor
#define glClearDepth ::brambleshot::gfx::api::glClearDepth
#define glClear ::brambleshot::gfx::api::glClear
#define glFlush ::brambleshot::gfx::api::glFlush
#define glBindTexture ::brambleshot::gfx::api::glBindTexture
#define glTexImage2D ::brambleshot::gfx::api::glTexImage2D
#define glTexParameteri ::brambleshot::gfx::api::glTexParameteri
#define glTexParameterf ::brambleshot::gfx::api::glTexParameterf
#define glGenLists ::brambleshot::gfx::api::glGenLists
#define glNewList ::brambleshot::gfx::api::glNewList
#define glEndList ::brambleshot::gfx::api::glEndList
#define glCallList ::brambleshot::gfx::api::glCallList
#define glGetError ::brambleshot::gfx::api::glGetError
#define glGetIntegerv ::brambleshot::gfx::api::glGetIntegerv
#define glGetDoublev ::brambleshot::gfx::api::glGetDoublev
#define glGetBooleanv ::brambleshot::gfx::api::glGetBooleanv
#define glPixelStorei ::brambleshot::gfx::api::glPixelStorei
#define glReadBuffer ::brambleshot::gfx::api::glReadBuffer
#define glReadPixels ::brambleshot::gfx::api::glReadPixels
#define gluNewQuadric ::brambleshot::gfx::api::gluNewQuadric
#define gluDeleteQuadric ::brambleshot::gfx::api::gluDeleteQuadric
#define gluQuadricNormals ::brambleshot::gfx::api::gluQuadricNormals
#define gluQuadricTexture ::brambleshot::gfx::api::gluQuadricTexture
#define gluQuadricDrawStyle ::brambleshot::gfx::api::gluQuadricDrawStyle
#define gluSphere ::brambleshot::gfx::api::gluSphere
#define gluCylinder ::brambleshot::gfx::api::gluCylinder
#define gluPerspective ::brambleshot::gfx::api::gluPerspective
#define gluLookAt ::brambleshot::gfx::api::gluLookAt
#define gluProject ::brambleshot::gfx::api::gluProject
#define gluUnProject ::brambleshot::gfx::api::gluUnProject
#define glutSolidSphere ::brambleshot::gfx::api::glutSolidSphere
#define glutSwapBuffers ::brambleshot::gfx::api::glutSwapBuffers
#endif

#if defined(BRAMBLESHOT_DRAWING_HEADLESS)
// No window either: GLUT's window and main loop are the layer's own too.
#define glutInit ::brambleshot::gfx::api::glutInit
#define glutInitDisplayMode ::brambleshot::gfx::api::glutInitDisplayMode
#define glutInitWindowSize ::brambleshot::gfx::api::glutInitWindowSize
#define glutCreateWindow ::brambleshot::gfx::api::glutCreateWindow
#define glutDisplayFunc ::brambleshot::gfx::api::glutDisplayFunc
#define glutIdleFunc ::brambleshot::gfx::api::glutIdleFunc
#define glutReshapeFunc ::brambleshot::gfx::api::glutReshapeFunc
#define glutMouseFunc ::brambleshot::gfx::api::glutMouseFunc
#define glutMotionFunc ::brambleshot::gfx::api::glutMotionFunc
#define glutPassiveMotionFunc ::brambleshot::gfx::api::glutPassiveMotionFunc
#define glutKeyboardFunc ::brambleshot::gfx::api::glutKeyboardFunc
#define glutSpecialFunc ::brambleshot::gfx::api::glutSpecialFunc
#define glutCloseFunc ::brambleshot::gfx::api::glutCloseFunc
#define glutSetCursor ::brambleshot::gfx::api::glutSetCursor
#define glutSetOption ::brambleshot::gfx::api::glutSetOption
#define glutFullScreen ::brambleshot::gfx::api::glutFullScreen
#define glutLeaveFullScreen ::brambleshot::gfx::api::glutLeaveFullScreen
#define glutReshapeWindow ::brambleshot::gfx::api::glutReshapeWindow
#define glutPostRedisplay ::brambleshot::gfx::api::glutPostRedisplay
#define glutGet ::brambleshot::gfx::api::glutGet
#define glutMainLoopEvent ::brambleshot::gfx::api::glutMainLoopEvent
#define glutMainLoop ::brambleshot::gfx::api::glutMainLoop
#endif
