// Brambleshot: the command line, start-up, then the GLUT main loop, which never returns.
#include <GL/freeglut.h>

#include <cstdio>

#include "app/options.h"
#include "app/startup.h"
#include "app/streams.h"

int main(int argc, char** argv) {
  brambleshot::protectStandardStreams();
  brambleshot::Options options;
  switch (brambleshot::parseOptions(argc, argv, options, stdout, stderr)) {
    case brambleshot::ParseResult::exitOk:
      return 0;
    case brambleshot::ParseResult::exitBad:
      return 2;
    case brambleshot::ParseResult::play:
      break;
  }
  brambleshot::startUp(&argc, argv, options);
  glutMainLoop();
  return 0;
}
