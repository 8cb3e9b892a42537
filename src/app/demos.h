// Recording a game as a demo (--record) and replaying one (--play, --fast).
#pragma once

#include <string>
#include <vector>

#include "app/options.h"
#include "demo/demo.h"

namespace brambleshot {

// Exit statuses beside 0, 1 (an image could not be loaded) and 2 (a refused command line or
// demo file).
inline constexpr int kExitReplayDiverged = 3;   // a replay differs from its recording
inline constexpr int kExitRecordingFailed = 4;  // the demo asked for could not be written whole
inline constexpr int kExitReplayStopped = 5;    // q or the window's close stopped a replay early
inline constexpr int kExitDisplayLost = 6;      // the X server died or its connection broke

// Before start-up: reads the demo to play (its seed and window size go into options) or creates
// the one to record (with a seed from the clock, kept in options). False after printing why
// (exit status 2).
bool prepareDemo(Options& options);

// From the start: when the X display is lost, closes a demo being recorded at its last whole
// frame, says one line on standard error and exits with kExitDisplayLost, drawing nothing.
void watchDisplay();

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
// demo (q and closing the window exit after it, with kExitRecordingFailed if a write failed).
void completeRecording();
// 0, or kExitRecordingFailed once a write of the demo has failed.
int recordingStatus();

struct ReplayResult {
  int frames = 0;      // frames replayed
  int divergedAt = 0;  // the first frame whose world differs from the recording; 0: none
  bool pictureCompared = false;
  std::uint64_t picture = 0;          // hash of the last frame's pixels, when compared
  std::vector<unsigned char> pixels;  // and those pixels: RGB, bottom row first
  int windowWidth = 0;                // the real window when the last frame was read
  int windowHeight = 0;
  double seconds = 0.0;                  // wall-clock time of the replay
  const char* stoppedBecause = nullptr;  // q or the window's close stopped it before its end
};

// Replays demo after start-up: feeds its events to the game's callbacks in order, draws its
// frames (with the 5 ms sleep of each idle call, unless fast) and compares every frame's world
// with the recording, stopping at the first that differs. The player's input is ignored, but q
// and closing the window stop the replay.
ReplayResult replayDemo(const Demo& demo, bool fast);

// The replay of the demo read by prepareDemo, then exit: 0 when it replays exactly, 3 with one
// line naming the frame when it diverges, 5 with one line when it was stopped before its end.
[[noreturn]] void playDemo(const Options& options);

}  // namespace brambleshot
