// Times the game's start-up from the outside: the clock starts before fork/exec, and stops
// when a strip of the window's pixels, read with XGetImage about every millisecond, equals the
// start screen. The start screen never changes, so its strip is taken once beforehand from a
// game left to settle.
#include "startup_bench.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "timing.h"

namespace bench {

namespace {

constexpr const char* kTitle = "Brambleshot!";
// One row across the panel and the scene, clear of the window's edges.
constexpr int kStripX = 20;
constexpr int kStripY = 300;
constexpr int kStripWidth = 760;

int ignoreXErrors(Display*, XErrorEvent*) {
  return 0;
}

Window findWindow(Display* display) {
  Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
  unsigned count = 0;
  Window found = 0;
  if (!XQueryTree(display, root, &root, &parent, &children, &count)) return 0;
  for (unsigned i = 0; i < count && !found; ++i) {
    char* name = nullptr;
    if (XFetchName(display, children[i], &name) && name) {
      if (std::strcmp(name, kTitle) == 0) found = children[i];
      XFree(name);
    }
  }
  if (children) XFree(children);
  return found;
}

// The strip's pixels, or nothing while the window is missing, unmapped or too small.
std::vector<unsigned long> readStrip(Display* display, Window window) {
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable ||
      attributes.width < kStripX + kStripWidth || attributes.height <= kStripY)
    return {};
  XImage* image = XGetImage(display, window, kStripX, kStripY, kStripWidth, 1, AllPlanes, ZPixmap);
  if (!image) return {};
  std::vector<unsigned long> pixels(kStripWidth);
  for (int x = 0; x < kStripWidth; ++x)
    pixels[x] = XGetPixel(image, x, 0) & 0xffffff;
  XDestroyImage(image);
  return pixels;
}

pid_t launch(const std::filesystem::path& binary, const std::filesystem::path& workDir) {
  const pid_t pid = fork();
  if (pid == 0) {
    const int devNull = open("/dev/null", O_WRONLY);
    dup2(devNull, STDOUT_FILENO);
    dup2(devNull, STDERR_FILENO);
    if (chdir(workDir.c_str()) != 0) _exit(126);
    execl(binary.c_str(), binary.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

void stop(pid_t pid) {
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

bool exited(pid_t pid) {
  int status = 0;
  return waitpid(pid, &status, WNOHANG) == pid;
}

// Polls until the strip equals `wanted` (or, with no wanted strip, until it stops changing
// for a second); returns milliseconds since `start`, or a negative number on timeout.
double waitForStrip(Display* display, pid_t pid, Clock::time_point start,
                    std::vector<unsigned long>& wanted) {
  const bool settle = wanted.empty();
  std::vector<unsigned long> last;
  auto lastChange = Clock::now();
  while (millisecondsSince(start) < 20000) {
    if (exited(pid)) return -1;
    if (const Window window = findWindow(display)) {
      std::vector<unsigned long> strip = readStrip(display, window);
      if (!strip.empty()) {
        if (!settle && strip == wanted) return millisecondsSince(start);
        if (settle && strip != last) {
          last = strip;
          lastChange = Clock::now();
        } else if (settle && millisecondsSince(lastChange) > 1000) {
          wanted = last;
          return millisecondsSince(start);
        }
      }
    }
    std::this_thread::sleep_for(std::chrono::microseconds(settle ? 20000 : 1000));
  }
  return -1;
}

}  // namespace

bool runStartupBench(const std::filesystem::path& binary, const std::filesystem::path& workDir,
                     int runs, Report& report) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::printf("start-up: no X display\n");
    return false;
  }
  XSetErrorHandler(ignoreXErrors);  // the window may go or be unmapped while we look at it

  std::vector<unsigned long> startScreen;
  pid_t pid = launch(binary, workDir);
  const double settled = waitForStrip(display, pid, Clock::now(), startScreen);
  stop(pid);
  bool blank = true;
  for (unsigned long p : startScreen)
    blank = blank && p == 0;
  if (settled < 0 || blank) {
    std::printf("start-up: the game's start screen never showed\n");
    XCloseDisplay(display);
    return false;
  }

  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    std::this_thread::sleep_for(std::chrono::milliseconds(150));  // let the last window go
    const auto start = Clock::now();
    pid = launch(binary, workDir);
    const double ms = waitForStrip(display, pid, start, startScreen);
    stop(pid);
    if (ms >= 0) times.push_back(ms);
  }
  XCloseDisplay(display);
  if (times.empty()) return false;
  const Figure f = summarise(times);
  report.add({"startup_first_frame_ms", "start-up: exec to first frame (outside, X)", "ms", f,
              "<= 150 ms", f.median <= 150.0, 1});
  return true;
}

}  // namespace bench
