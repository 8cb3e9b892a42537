// Demos: a recorded game as text, one line per event, and the reader and writer of that text.
//
// A demo starts with a header (format and version, the game's version, the seed, the window's
// size at start). Then come, in the order they reached the game, the input events, the idle
// callback's launch chances and the frames; each frame line holds the world's checksum after
// that frame's step. A recording ended with q closes with an end line: the number of frames
// and a hash of the last frame's pixels. For example:
//
//   brambleshot-demo 1
//   game 1.0.0
//   seed 1765072800
//   window 800 600
//   reshape 800 600
//   frame 1 6c9d0b8e2f3a4b51
//   key 110 400 300
//   frame 2 0f1e2d3c4b5a6978
//   idle
//   frame 3 8a7b6c5d4e3f2a1b
//   motion 412 280
//   button 0 0 412 280
//   idle
//   frame 4 ...
//   end 4 93c4a1f0e2b7d615
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brambleshot {

inline constexpr const char* kDemoFormat = "brambleshot-demo";
inline constexpr int kDemoVersion = 1;
// Larger files are refused before reading (about a day of play).
inline constexpr std::uintmax_t kMaxDemoBytes = 256u << 20;

enum class DemoEventType : std::uint8_t {
  key,      // a: the key's byte, b, c: pointer x, y
  button,   // a: GLUT button, b: GLUT_DOWN (0) or GLUT_UP (1), c, d: pointer x, y
  motion,   // a, b: pointer x, y (with or without a button held)
  reshape,  // a, b: the window's new width and height
  idle,     // the idle callback ran: its sleep and launch chance
  frame,    // one frame was drawn: one step of the world
};

struct DemoEvent {
  DemoEventType type = DemoEventType::idle;
  int a = 0;
  int b = 0;
  int c = 0;
  int d = 0;
};

struct Demo {
  int version = kDemoVersion;
  std::string gameVersion;  // the version of the game that recorded it
  std::uint32_t seed = 0;
  int windowWidth = 0;  // pixels, at start
  int windowHeight = 0;
  std::vector<DemoEvent> events;
  std::vector<std::uint64_t> frameChecksums;  // the world's checksum after each frame, in order
  bool finished = false;                      // it has an end line (the recording ended with q)
  std::uint64_t pictureHash = 0;              // of the last frame's pixels; only when finished
};

// Reads a demo from text. On a fault, returns false with error set to one line
// "NAME:LINE: what is wrong" (no newline). Never looks past the end of a line.
bool parseDemo(std::string_view text, std::string_view name, Demo& demo, std::string& error);
// Reads and parses the file at path; errors as parseDemo's (a file that cannot be read is named
// without a line).
bool loadDemo(const std::string& path, Demo& demo, std::string& error);

// Why a file that is not a regular file (a directory, FIFO, device or socket, by its st_mode)
// cannot be a demo, for a message after its name: "is a FIFO, not a regular file".
std::string notRegularFile(unsigned mode);

// Writes a demo as the game goes. The lines since the last frame wait in memory and go out
// with that frame's line in one write(), so the file always ends after a whole frame: a game
// killed at any instant leaves a demo that replays up to its last frame. A write that fails or
// falls short cuts the file back to its last whole frame and stops the recording there; the
// writer says so once through failed().
class DemoWriter {
 public:
  DemoWriter() = default;
  ~DemoWriter();
  DemoWriter(const DemoWriter&) = delete;
  DemoWriter& operator=(const DemoWriter&) = delete;

  // Creates (or empties) the file and writes the header. Only a regular file (or a new one) is
  // taken, never one of the game's own standard output and error, and opening never blocks.
  // False with error set if it cannot.
  bool open(const std::string& path, std::uint32_t seed, int windowWidth, int windowHeight,
            std::string& error);
  bool isOpen() const { return fd_ >= 0; }
  void key(unsigned char key, int x, int y);
  void button(int button, int state, int x, int y);
  void motion(int x, int y);
  void reshape(int width, int height);
  void idle();
  // Notes one frame with the world's checksum after it, and writes the frame out.
  void frame(std::uint64_t checksum);
  // Writes the end line and closes the file. False with error set if any write failed.
  bool finish(std::uint64_t pictureHash, std::string& error);
  // Closes the file at its last whole frame, dropping the lines since (the game cannot go on).
  void abandon();
  int frames() const { return frames_; }  // whole frames in the file
  // True once a write has failed: the file ends at its last whole frame.
  bool hasFailed() const { return failed_; }
  // True once, right after the first failed write; error then says why.
  bool failed(std::string& error);

 private:
  void line(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // Writes the waiting lines in one write(); on a failure cuts the file back and stops.
  bool writeOut();
  void fail(const std::string& why);

  int fd_ = -1;
  std::string path_;
  std::string pending_;      // the lines since the last frame; its memory is kept between frames
  std::uint64_t whole_ = 0;  // bytes in the file up to the end of its last whole frame
  int frames_ = 0;
  bool failed_ = false;
  bool failureReported_ = false;
  std::string failure_;
};

}  // namespace brambleshot
