// Brambleshot: the command line, start-up, then the GLUT main loop (or a demo's replay), which
// never returns.
#include <GL/freeglut.h>

#include <cstdio>

#include "app/demos.h"
#include "app/options.h"
#include "app/pads.h"
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
  if (!brambleshot::prepareDemo(options)) return 2;
  brambleshot::watchDisplay();
  brambleshot::startUp(&argc, argv, options);
  if (!options.playFile.empty()) brambleshot::playDemo(options);
  if (!options.recordFile.empty()) brambleshot::startRecording();
  brambleshot::startPads(!options.recordFile.empty());
  glutMainLoop();
  return 0;
}
