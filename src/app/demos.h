// Recording a game as a demo (--record) and replaying one (--play, --fast).
#pragma once

#include <string>

#include "app/options.h"
#include "demo/demo.h"

namespace brambleshot {

// Before start-up: reads the demo to play (its seed and window size go into options) or creates
// the one to record (with a seed from the clock, kept in options). False after printing why
// (exit status 2).
bool prepareDemo(Options& options);

// After start-up, while recording: wraps the input, idle and display callbacks so that each
// also writes its event; q and closing the window complete the demo.
void startRecording();

// The recording callbacks: each writes its event into the demo, then runs the game's own.
void recordKeyboard(unsigned char key, int x, int y);
void recordMouse(int button, int state, int x, int y);
void recordMotion(int x, int y);
void recordReshape(int width, int height);
void recordIdle();
void recordDisplay();
// Draws one last frame, writes it with the hash of its pixels and the end line, and closes the
// demo (q exits after it; closing the window lets GLUT end the game).
void completeRecording();

struct ReplayResult {
  int frames = 0;      // frames replayed
  int divergedAt = 0;  // the first frame whose world differs from the recording; 0: none
  bool pictureCompared = false;
  std::uint64_t picture = 0;  // hash of the last frame's pixels, when compared
  int windowWidth = 0;        // the real window when the last frame was read
  int windowHeight = 0;
  double seconds = 0.0;  // wall-clock time of the replay
};

// Replays demo after start-up: feeds its events to the game's callbacks in order, draws its
// frames (with the 5 ms sleep of each idle call, unless fast) and compares every frame's world
// with the recording, stopping at the first that differs. The player's input is ignored.
ReplayResult replayDemo(const Demo& demo, bool fast);

// The replay of the demo read by prepareDemo, then exit: 0 when it replays exactly, 3 with one
// line naming the frame when it diverges.
[[noreturn]] void playDemo(const Options& options);

}  // namespace brambleshot
