// The browser build's <GL/freeglut.h>. The compiler's GLUT (emscripten's) has the window, the
// canvas's keys and mouse and the Fullscreen API, but not freeglut's additions, and its frames
// wait for the display's refresh. The same names reach the browser host instead
// (host/glut_browser.cpp): GLUT's loop on the browser's timers, as the desktop game paces
// itself, freeglut's additions the game uses, and pointer motion where the pointer is now (the
// compiler's GLUT reports the position before the move).
#pragma once

#include <GL/glut.h>

#define GLUT_ACTION_CONTINUE_EXECUTION 2
#define GLUT_ACTION_ON_WINDOW_CLOSE 0x01F9
#define GLUT_FULL_SCREEN 0x01FF

namespace brambleshot::host {

void glutDisplayFunc(void (*callback)());
void glutIdleFunc(void (*callback)());
void glutPostRedisplay();
void glutMotionFunc(void (*callback)(int x, int y));
void glutPassiveMotionFunc(void (*callback)(int x, int y));
void glutMainLoop();
void glutMainLoopEvent();
void glutCloseFunc(void (*callback)());
void glutSetOption(GLenum what, int value);
void glutLeaveFullScreen();
int glutGet(GLenum what);

}  // namespace brambleshot::host

#define glutDisplayFunc ::brambleshot::host::glutDisplayFunc
#define glutIdleFunc ::brambleshot::host::glutIdleFunc
#define glutPostRedisplay ::brambleshot::host::glutPostRedisplay
#define glutMotionFunc ::brambleshot::host::glutMotionFunc
#define glutPassiveMotionFunc ::brambleshot::host::glutPassiveMotionFunc
#define glutMainLoop ::brambleshot::host::glutMainLoop
#define glutMainLoopEvent ::brambleshot::host::glutMainLoopEvent
#define glutCloseFunc ::brambleshot::host::glutCloseFunc
#define glutSetOption ::brambleshot::host::glutSetOption
#define glutLeaveFullScreen ::brambleshot::host::glutLeaveFullScreen
#define glutGet ::brambleshot::host::glutGet
