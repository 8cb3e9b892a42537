// Drives the real brambleshot executable under an X server (for the end-to-end tests and the
// start-up benchmark): finds its window, sends synthetic
// keys, pointer motion and button presses through XTest, and reads the window's pixels.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace driver {

struct Rgb {
  int r = 0;
  int g = 0;
  int b = 0;
  bool operator==(const Rgb&) const = default;
};

// One capture of the window, rows from the top as X counts them.
std::filesystem::path binaryPath();
std::filesystem::path resourcesPath();

class Picture {
 public:
  Picture() = default;
  Picture(int width, int height, std::vector<Rgb> pixels)
      : width_(width), height_(height), pixels_(std::move(pixels)) {}
  int width() const { return width_; }
  int height() const { return height_; }
  bool empty() const { return pixels_.empty(); }
  const Rgb& at(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
  // Pixels in the rectangle [x0, x1) x [y0, y1) that differ from other by more than tolerance.
  int countDifferent(const Picture& other, int x0, int y0, int x1, int y1,
                     int tolerance = 24) const;
  // Mean column of the pixels in the rectangle that differ from other; -1 if none does.
  double meanDifferentColumn(const Picture& other, int x0, int y0, int x1, int y1,
                             int tolerance = 24) const;
  // Pixels in the rectangle for which the predicate holds.
  int count(int x0, int y0, int x1, int y1, const std::function<bool(const Rgb&)>& test) const;
  // Writes the picture as a binary PPM (for looking at failures and for screenshots).
  bool writePpm(const std::filesystem::path& path) const;

 private:
  void clip(const Picture& other, int& x0, int& y0, int& x1, int& y1) const;

  int width_ = 0;
  int height_ = 0;
  std::vector<Rgb> pixels_;
};

// A private Xvfb server for one test, so tests never share windows, focus or the pointer.
class VirtualScreen {
 public:
  VirtualScreen();
  ~VirtualScreen();
  VirtualScreen(const VirtualScreen&) = delete;
  VirtualScreen& operator=(const VirtualScreen&) = delete;
  bool ok() const { return !name_.empty(); }
  const std::string& name() const { return name_; }  // e.g. ":12"

 private:
  pid_t pid_ = -1;
  std::string name_;
};

// Where the game's standard output goes: to output() with standard error, nowhere (the
// descriptor closed, as `>&-` leaves it), or into a pipe whose reader has already gone.
enum class StandardOutput { captured, closed, brokenPipe };

// How to start the game: its arguments and extra environment ("NAME=value"; "NAME=" alone
// removes NAME from the environment). The game is started with ALSOFT_DRIVERS=null, so it mixes
// its sound for nobody, and with a fresh private XDG_DATA_HOME, so it never sees the user's best
// scores, unless the environment given says otherwise.
struct Launch {
  std::vector<std::string> args;
  std::vector<std::string> environment;
  StandardOutput standardOutput = StandardOutput::captured;
};

class GameProcess {
 public:
  // Starts the game on the given display in workingDirectory; it is killed when the object
  // goes, and no wait in this class outlasts hardLimitSeconds from the start.
  GameProcess(const std::string& displayName, const std::filesystem::path& workingDirectory,
              double hardLimitSeconds = 120.0, const std::filesystem::path& program = binaryPath(),
              const Launch& launch = {});
  ~GameProcess();
  GameProcess(const GameProcess&) = delete;
  GameProcess& operator=(const GameProcess&) = delete;

  // Waits for the "Brambleshot!" window, moves it to the screen's corner and gives it the focus.
  bool waitForWindow(double timeoutSeconds = 30.0);
  // One look for the window, shown and mapped; leaves it where it is.
  bool findWindow();
  // Waits for the process to end; returns its exit status, or -1 on a signal or timeout.
  int waitForExit(double timeoutSeconds);
  bool running();
  // Sends the game a signal (SIGTERM, SIGINT, ...).
  void sendSignal(int number);
  // Everything the game has printed so far.
  const std::string& output();
  // The private XDG_DATA_HOME the game was given (removed with the object).
  const std::filesystem::path& dataHome() const { return dataHome_; }

  void key(const char* keysym);  // press and release
  void keyDown(const char* keysym);
  void keyUp(const char* keysym);
  void movePointer(int x, int y);  // window coordinates, rows from the top
  void button(int number, bool down);
  void resize(int width, int height);
  // Sends the window a configure event of the given size, as a window manager would, so the
  // game sees sizes X itself cannot make (a height of 0 when minimised).
  void sendConfigure(int width, int height);
  // Asks the window to close, as a window manager's close button does (WM_DELETE_WINDOW).
  void closeWindow();
  // The window's size as X reports it.
  void windowSize(int& width, int& height);

  Picture capture();
  // A part of the window (empty while the window is missing, unmapped or smaller).
  Picture capture(int x, int y, int width, int height);
  // Captures until the predicate holds; returns the last capture (empty on timeout).
  Picture waitForPicture(const std::function<bool(const Picture&)>& ready,
                         double timeoutSeconds = 20.0);
  // Lets the game draw a few more frames: sleeps for seconds, without looking at the picture.
  void settle(double seconds = 0.3);

 private:
  void readOutput();
  void sync();

  Display* display_ = nullptr;
  Window window_ = 0;
  pid_t pid_ = -1;
  int outputFd_ = -1;
  int exitStatus_ = -2;
  std::string output_;
  std::filesystem::path dataHome_;
  std::chrono::steady_clock::time_point deadline_;
};

}  // namespace driver
