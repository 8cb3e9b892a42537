// Brambleshot: start-up, then the GLUT main loop, which never returns.
#include <GL/freeglut.h>

#include "app/startup.h"

int main(int argc, char** argv) {
  brambleshot::startUp(&argc, argv);
  glutMainLoop();
  return 0;
}
