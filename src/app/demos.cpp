// Demos in the shell: the recording callbacks around the game's own, and the replay loop.
#include "app/demos.h"

#include <GL/freeglut.h>

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "app/best_scores.h"
#include "app/frame.h"
#include "app/input.h"
#include "demo/checksum.h"
#include "world/game.h"
#include "world/version.h"

namespace brambleshot {

namespace {

#if defined(BRAMBLESHOT_HOST_BROWSER)
constexpr bool kPicturesAreTheDesktops = false;
#else
constexpr bool kPicturesAreTheDesktops = true;
#endif

DemoWriter recorder;
std::string recordPath;
bool gameEnding = false;  // q or the window's close is completing the recording
Demo playing;
std::vector<unsigned char> pixels;  // the last frame's, for its hash

void reportWriteFailure() {
  std::string error;
  if (recorder.failed(error))
    std::fprintf(stderr, "brambleshot: %s; the demo stops at frame %d, the game goes on\n",
                 error.c_str(), recorder.frames());
}

[[noreturn]] void endRecordedGame() {
  gameEnding = true;
  completeRecording();
  std::exit(recordingStatus());
}

// The window manager's close button completes the demo as q does. freeglut's own exit handler
// closes the window once more: by then the game is already ending.
void recordedWindowClosed() {
  if (!gameEnding) endRecordedGame();
}

// During a replay the player's input reaches nothing but q, and frames come only from the demo.
const char* replayStop = nullptr;  // why the replay was asked to stop early, if it was

void replayKey(unsigned char key, int, int) {
  if (key == 'q') replayStop = "q pressed";
}
void replayWindowClosed() {
  replayStop = "the window closed";
}
void ignoreButton(int, int, int, int) {}
void ignoreMotion(int, int) {}
void ignoreReshape(int, int) {}
void drawNothing() {}

// A replay looks at the window's events after each frame, and also after this many events
// without a frame, so that a long run of idle lines cannot keep a close waiting.
constexpr int kEventsBetweenLooks = 32;

}  // namespace

int recordingStatus() {
  return recorder.hasFailed() ? kExitRecordingFailed : 0;
}

bool prepareDemo(Options& options) {
  std::string error;
  if (!options.playFile.empty()) {
    if (!loadDemo(options.playFile, playing, error)) {
      std::fprintf(stderr, "brambleshot: %s\n", error.c_str());
      return false;
    }
    options.seed = playing.seed;
    options.windowWidth = playing.windowWidth;
    options.windowHeight = playing.windowHeight;
  } else if (!options.recordFile.empty()) {
    if (!options.seed) options.seed = static_cast<std::uint32_t>(std::time(nullptr));
    const int width = options.windowWidth > 0 ? options.windowWidth : 800;
    const int height = options.windowHeight > 0 ? options.windowHeight : 600;
    if (!recorder.open(options.recordFile, *options.seed, width, height, error)) {
      std::fprintf(stderr, "brambleshot: %s\n", error.c_str());
      return false;
    }
    recordPath = options.recordFile;
  }
  return true;
}

void recordKeyboard(unsigned char key, int x, int y) {
  if (key == 'q') endRecordedGame();
  recorder.key(key, x, y);
  onKeyboard(key, x, y);
}

void recordMouse(int button, int state, int x, int y) {
  recorder.button(button, state, x, y);
  onMouse(button, state, x, y);
}

void recordMotion(int x, int y) {
  recorder.motion(x, y);
  onMotion(x, y);
}

void recordReshape(int width, int height) {
  recorder.reshape(width, height);
  onReshape(width, height);
}

void recordIdle() {
  recorder.idle();
  onIdle();
}

void recordDisplay() {
  onDisplay();
  recorder.frame(worldChecksum());
  reportWriteFailure();
}

void completeRecording() {
  if (!recorder.isOpen()) return;  // freeglut's exit handler closes the window once more
  // The last picture can only be read before its swap, so the end draws one more frame.
  drawFrame();
  noteFinishedGame();  // a game that ends in this very step still counts
  recorder.frame(worldChecksum());
  const std::uint64_t picture = pictureHash(pixels);
  glutSwapBuffers();
  reportWriteFailure();
  std::string error;
  if (!recorder.finish(picture, error)) std::fprintf(stderr, "brambleshot: %s\n", error.c_str());
}

void startRecording() {
  glutKeyboardFunc(recordKeyboard);
  glutMouseFunc(recordMouse);
  glutMotionFunc(recordMotion);
  glutPassiveMotionFunc(recordMotion);
  glutReshapeFunc(recordReshape);
  glutDisplayFunc(recordDisplay);
  glutCloseFunc(recordedWindowClosed);
  setIdleCallback(recordIdle);
}

ReplayResult replayDemo(const Demo& demo, bool fast) {
  glutKeyboardFunc(replayKey);
  glutSpecialFunc(nullptr);
  glutMouseFunc(ignoreButton);
  glutMotionFunc(ignoreMotion);
  glutPassiveMotionFunc(ignoreMotion);
  glutReshapeFunc(ignoreReshape);
  glutDisplayFunc(drawNothing);
  glutIdleFunc(nullptr);
  // Closing the window stops the replay, which then says so, instead of ending the process.
  glutCloseFunc(replayWindowClosed);
  glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
  replayStop = nullptr;

  glutMainLoopEvent();  // the window shows before the first frame

  ReplayResult result;
  const auto start = std::chrono::steady_clock::now();
  const int frames = static_cast<int>(demo.frameChecksums.size());
  int sinceLook = 0;
  for (const DemoEvent& event : demo.events) {
    if (event.type != DemoEventType::frame && ++sinceLook >= kEventsBetweenLooks) {
      glutMainLoopEvent();
      sinceLook = 0;
    }
    if (replayStop) {
      result.stoppedBecause = replayStop;
      break;
    }
    switch (event.type) {
      case DemoEventType::key:
        onKeyboard(static_cast<unsigned char>(event.a), event.b, event.c);
        break;
      case DemoEventType::button:
        onMouse(event.a, event.b, event.c, event.d);
        break;
      case DemoEventType::motion:
        onMotion(event.a, event.b);
        break;
      case DemoEventType::reshape:
        onReshape(event.a, event.b);
        // The window follows, so that the last picture can be compared.
        if (event.a > 0 && event.b > 0) glutReshapeWindow(event.a, event.b);
        break;
      case DemoEventType::idle:
        // As the game's own idle callback: the sleep, then the frame drawn before it shows.
        if (!fast) idleSleep();
        presentPendingFrame();
        offerLaunch();
        break;
      case DemoEventType::frame: {
        const int frame = ++result.frames;
        const bool last = frame == frames && demo.finished;
        if (last) {
          showReplayMark(false);  // the recorded last picture had no mark
          drawFrame();            // swapped below, once its pixels are read
          updateSound();
          noteFinishedGame();
        } else {
          onDisplay();
        }
        if (worldChecksum() != demo.frameChecksums[frame - 1]) {
          result.divergedAt = frame;
          glutSwapBuffers();
          result.seconds =
              std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
          return result;
        }
        if (last) {
          result.windowWidth = glutGet(GLUT_WINDOW_WIDTH);
          result.windowHeight = glutGet(GLUT_WINDOW_HEIGHT);
          // A browser draws with its own GL: its pixels are not the desktop's, byte for byte.
          if (kPicturesAreTheDesktops && result.windowWidth == game.windowWidth &&
              result.windowHeight == game.windowHeight) {
            result.pictureCompared = true;
            result.picture = pictureHash(pixels);
            result.pixels = pixels;
          }
          glutSwapBuffers();
        }
        glutMainLoopEvent();  // the window's own events: q or closing it stops the replay
        sinceLook = 0;
        break;
      }
    }
  }
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return result;
}

void playDemo(const Options& options) {
  const char* name = options.playFile.c_str();
  const ReplayResult result = replayDemo(playing, options.fast);
  const int frames = static_cast<int>(playing.frameChecksums.size());
  if (result.stoppedBecause) {
    std::fprintf(stderr,
                 "brambleshot: %s: the replay was stopped at frame %d of %d (%s), so it is "
                 "not checked to its end\n",
                 name, result.frames, frames, result.stoppedBecause);
    std::exit(kExitReplayStopped);
  }
  if (result.divergedAt > 0) {
    std::string versions;
    if (playing.gameVersion != kVersion)
      versions = " (recorded by version " + playing.gameVersion + ", this is " + kVersion + ")";
    std::fprintf(stderr, "brambleshot: %s: the replay diverged at frame %d of %d%s\n", name,
                 result.divergedAt, frames, versions.c_str());
    std::exit(kExitReplayDiverged);
  }
  if (result.pictureCompared && result.picture != playing.pictureHash) {
    std::fprintf(stderr,
                 "brambleshot: %s: the last picture (frame %d) differs from the recorded one\n",
                 name, frames);
    std::exit(kExitReplayDiverged);
  }
  const double rate = result.seconds > 0.0 ? result.frames / result.seconds : 0.0;
  std::printf("%s: %d frames replayed exactly in %.2f s (%.0f frames a second)\n", name,
              result.frames, result.seconds, rate);
  if (!playing.finished)
    std::printf(
        "%s: the recording stopped there, before its end line: no last picture to "
        "compare\n",
        name);
  else if (!kPicturesAreTheDesktops)
    std::printf("%s: the last picture was not compared: a browser draws with its own GL\n", name);
  else if (!result.pictureCompared)
    std::printf("%s: the last picture was not compared: the window is %dx%d, the demo's %dx%d\n",
                name, result.windowWidth, result.windowHeight, game.windowWidth, game.windowHeight);
  std::exit(0);
}

}  // namespace brambleshot

#if defined(BRAMBLESHOT_HOST_BROWSER)

namespace brambleshot {

// A page has no display connection that could break under it.
void watchDisplay() {}

}  // namespace brambleshot

#else

// Included last: Xlib's macros (None, Bool, Status...) stay out of everything above.
#include <X11/Xlib.h>

namespace brambleshot {

namespace {

// Xlib calls this when the connection to the X server breaks; it must not return. Nothing may
// draw or read pixels any more: the demo keeps its last whole frame, and the process ends
// without the exit handlers (freeglut's would draw on the dead connection).
int displayLost(Display*) {
  if (recorder.isOpen()) {
    const int frames = recorder.frames();
    recorder.abandon();
    std::fprintf(stderr, "brambleshot: the X display is gone; the demo %s ends at frame %d\n",
                 recordPath.c_str(), frames);
  } else {
    std::fprintf(stderr, "brambleshot: the X display is gone\n");
  }
  std::_Exit(kExitDisplayLost);
}

}  // namespace

void watchDisplay() {
  XSetIOErrorHandler(displayLost);
}

}  // namespace brambleshot

#endif
