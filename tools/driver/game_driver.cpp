// The end-to-end driver: a private Xvfb, the real game process, XTest input and XGetImage.
#include "game_driver.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace driver {

namespace {

using Clock = std::chrono::steady_clock;

void pause(double seconds) {
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

bool differs(const Rgb& a, const Rgb& b, int tolerance) {
  return std::abs(a.r - b.r) > tolerance || std::abs(a.g - b.g) > tolerance ||
         std::abs(a.b - b.b) > tolerance;
}

// Finds a top-level window with the given title.
Window findTitledWindow(Display* display, const char* title) {
  Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
  unsigned count = 0;
  Window found = 0;
  if (!XQueryTree(display, root, &root, &parent, &children, &count)) return 0;
  for (unsigned i = 0; i < count && !found; ++i) {
    char* name = nullptr;
    if (XFetchName(display, children[i], &name) && name) {
      if (std::strcmp(name, title) == 0) found = children[i];
      XFree(name);
    }
  }
  if (children) XFree(children);
  return found;
}

int ignoreXErrors(Display*, XErrorEvent*) {
  return 0;
}

}  // namespace

std::filesystem::path binaryPath() {
  return BRAMBLESHOT_BINARY;
}
std::filesystem::path resourcesPath() {
  return std::filesystem::path(BRAMBLESHOT_SOURCE_DIR) / "Resources";
}

// Rectangles are clipped to the pictures, so a failed capture (empty) or a window of another
// size makes a check fail instead of reading outside the pixels.
void Picture::clip(const Picture& other, int& x0, int& y0, int& x1, int& y1) const {
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min({x1, width_, other.width_});
  y1 = std::min({y1, height_, other.height_});
}

int Picture::countDifferent(const Picture& other, int x0, int y0, int x1, int y1,
                            int tolerance) const {
  clip(other, x0, y0, x1, y1);
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if (differs(at(x, y), other.at(x, y), tolerance)) ++n;
  return n;
}

double Picture::meanDifferentColumn(const Picture& other, int x0, int y0, int x1, int y1,
                                    int tolerance) const {
  clip(other, x0, y0, x1, y1);
  double sum = 0.0;
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if (differs(at(x, y), other.at(x, y), tolerance)) {
        sum += x;
        ++n;
      }
  return n ? sum / n : -1.0;
}

int Picture::count(int x0, int y0, int x1, int y1,
                   const std::function<bool(const Rgb&)>& test) const {
  clip(*this, x0, y0, x1, y1);
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if (test(at(x, y))) ++n;
  return n;
}

bool Picture::writePpm(const std::filesystem::path& path) const {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  std::fprintf(file, "P6\n%d %d\n255\n", width_, height_);
  for (const Rgb& p : pixels_) {
    const unsigned char bytes[3] = {static_cast<unsigned char>(p.r),
                                    static_cast<unsigned char>(p.g),
                                    static_cast<unsigned char>(p.b)};
    std::fwrite(bytes, 1, 3, file);
  }
  return std::fclose(file) == 0;
}

VirtualScreen::VirtualScreen() {
  int fds[2];
  if (pipe(fds) != 0) return;
  pid_ = fork();
  if (pid_ == 0) {
    close(fds[0]);
    const int devNull = open("/dev/null", O_WRONLY);
    dup2(devNull, STDOUT_FILENO);
    dup2(devNull, STDERR_FILENO);
    const std::string fd = std::to_string(fds[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten",
           "tcp", "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  // Xvfb writes its display number to the pipe once it accepts connections.
  std::string number;
  pollfd fd{fds[0], POLLIN, 0};
  const auto deadline = Clock::now() + std::chrono::seconds(20);
  while (Clock::now() < deadline && poll(&fd, 1, 200) >= 0) {
    char c;
    if ((fd.revents & (POLLIN | POLLHUP)) == 0) continue;
    if (read(fds[0], &c, 1) != 1 || c == '\n') break;
    number += c;
  }
  close(fds[0]);
  if (!number.empty()) name_ = ":" + number;
}

VirtualScreen::~VirtualScreen() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

GameProcess::GameProcess(const std::string& displayName,
                         const std::filesystem::path& workingDirectory, double hardLimitSeconds,
                         const std::filesystem::path& program, const Launch& launch)
    : deadline_(Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                   std::chrono::duration<double>(hardLimitSeconds))) {
  // The argument vector is made before the fork: the child only sets variables and execs.
  std::string binary = program.string();
  std::vector<std::string> args = launch.args;
  std::vector<char*> argv{binary.data()};
  for (std::string& arg : args)
    argv.push_back(arg.data());
  argv.push_back(nullptr);
  // A private data folder, so that no run reads or writes the user's best scores.
  char dataHome[] = "/tmp/brambleshot-data-XXXXXX";
  if (mkdtemp(dataHome)) dataHome_ = dataHome;
  int fds[2];
  if (pipe(fds) != 0) return;
  int broken[2] = {-1, -1};  // a pipe nobody reads, for StandardOutput::brokenPipe
  if (launch.standardOutput == StandardOutput::brokenPipe && pipe(broken) != 0) return;
  pid_ = fork();
  if (pid_ == 0) {
    dup2(fds[1], STDOUT_FILENO);
    dup2(fds[1], STDERR_FILENO);
    close(fds[0]);
    close(fds[1]);
    if (launch.standardOutput == StandardOutput::closed) close(STDOUT_FILENO);
    if (launch.standardOutput == StandardOutput::brokenPipe) {
      dup2(broken[1], STDOUT_FILENO);
      close(broken[0]);
      close(broken[1]);
    }
    if (chdir(workingDirectory.c_str()) != 0) _exit(126);
    setenv("DISPLAY", displayName.c_str(), 1);
    // Games under test mix their sound for nobody unless the launch asks for another device.
    setenv("ALSOFT_DRIVERS", "null", 1);
    setenv("XDG_DATA_HOME", dataHome, 1);
    for (const std::string& variable : launch.environment) {
      const std::size_t eq = variable.find('=');
      if (eq == std::string::npos) continue;
      const std::string name = variable.substr(0, eq);
      if (eq + 1 == variable.size())
        unsetenv(name.c_str());
      else
        setenv(name.c_str(), variable.c_str() + eq + 1, 1);
    }
    execv(binary.c_str(), argv.data());
    _exit(127);
  }
  close(fds[1]);
  if (broken[0] >= 0) {
    close(broken[0]);  // the last reader: from now on the game's writes meet a broken pipe
    close(broken[1]);
  }
  outputFd_ = fds[0];
  fcntl(outputFd_, F_SETFL, O_NONBLOCK);
  XSetErrorHandler(ignoreXErrors);  // the window may vanish while a test looks at it
  display_ = XOpenDisplay(displayName.c_str());
}

GameProcess::~GameProcess() {
  if (running()) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (outputFd_ >= 0) close(outputFd_);
  if (display_) XCloseDisplay(display_);
  std::error_code ignored;
  if (!dataHome_.empty()) std::filesystem::remove_all(dataHome_, ignored);
}

void GameProcess::readOutput() {
  char buffer[4096];
  ssize_t n;
  while (outputFd_ >= 0 && (n = read(outputFd_, buffer, sizeof buffer)) > 0)
    output_.append(buffer, static_cast<std::size_t>(n));
}

const std::string& GameProcess::output() {
  readOutput();
  return output_;
}

bool GameProcess::running() {
  if (pid_ <= 0 || exitStatus_ != -2) return false;
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) == pid_) {
    exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    readOutput();
    return false;
  }
  return true;
}

void GameProcess::sendSignal(int number) {
  if (running()) kill(pid_, number);
}

int GameProcess::waitForExit(double timeoutSeconds) {
  const auto until =
      std::min(deadline_, Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                             std::chrono::duration<double>(timeoutSeconds)));
  while (running() && Clock::now() < until) {
    readOutput();
    pause(0.02);
  }
  if (running()) return -1;
  return exitStatus_;
}

bool GameProcess::findWindow() {
  if (!display_) return false;
  window_ = findTitledWindow(display_, "Brambleshot!");
  XWindowAttributes attributes;
  return window_ && XGetWindowAttributes(display_, window_, &attributes) &&
         attributes.map_state == IsViewable;
}

bool GameProcess::waitForWindow(double timeoutSeconds) {
  if (!display_) return false;
  const auto until =
      std::min(deadline_, Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                             std::chrono::duration<double>(timeoutSeconds)));
  while (Clock::now() < until && running()) {
    if (findWindow()) {
      // No window manager: the window sits at (-1, -1) until moved.
      XMoveWindow(display_, window_, 0, 0);
      XSetInputFocus(display_, window_, RevertToPointerRoot, CurrentTime);
      sync();
      pause(0.1);
      return true;
    }
    readOutput();
    pause(0.05);
  }
  return false;
}

void GameProcess::sync() {
  XSync(display_, False);
}

void GameProcess::keyDown(const char* keysym) {
  const bool upper =
      std::strlen(keysym) == 1 && std::isupper(static_cast<unsigned char>(keysym[0]));
  if (upper) XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, XK_Shift_L), True, 0);
  XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, XStringToKeysym(keysym)), True, 0);
  if (upper) XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, XK_Shift_L), False, 0);
  sync();
}

void GameProcess::keyUp(const char* keysym) {
  XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, XStringToKeysym(keysym)), False, 0);
  sync();
}

void GameProcess::key(const char* keysym) {
  keyDown(keysym);
  keyUp(keysym);
}

void GameProcess::movePointer(int x, int y) {
  XTestFakeMotionEvent(display_, -1, x, y, 0);
  sync();
}

void GameProcess::button(int number, bool down) {
  XTestFakeButtonEvent(display_, static_cast<unsigned>(number), down ? True : False, 0);
  sync();
}

void GameProcess::resize(int width, int height) {
  XResizeWindow(display_, window_, static_cast<unsigned>(width), static_cast<unsigned>(height));
  sync();
}

void GameProcess::sendConfigure(int width, int height) {
  XEvent event{};
  event.xconfigure.type = ConfigureNotify;
  event.xconfigure.display = display_;
  event.xconfigure.event = window_;
  event.xconfigure.window = window_;
  event.xconfigure.width = width;
  event.xconfigure.height = height;
  XSendEvent(display_, window_, False, StructureNotifyMask, &event);
  sync();
}

void GameProcess::closeWindow() {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.display = display_;
  event.xclient.window = window_;
  event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display_, window_, False, NoEventMask, &event);
  sync();
}

void GameProcess::windowSize(int& width, int& height) {
  XWindowAttributes attributes{};
  XGetWindowAttributes(display_, window_, &attributes);
  width = attributes.width;
  height = attributes.height;
}

Picture GameProcess::capture() {
  int width = 0, height = 0;
  windowSize(width, height);
  return capture(0, 0, width, height);
}

Picture GameProcess::capture(int x, int y, int width, int height) {
  XWindowAttributes attributes{};
  if (width <= 0 || height <= 0 || !XGetWindowAttributes(display_, window_, &attributes) ||
      attributes.map_state != IsViewable || x + width > attributes.width ||
      y + height > attributes.height)
    return {};
  XImage* image = XGetImage(display_, window_, x, y, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (!image) return {};
  std::vector<Rgb> pixels(static_cast<std::size_t>(width) * height);
  for (int row = 0; row < height; ++row)
    for (int col = 0; col < width; ++col) {
      const unsigned long p = XGetPixel(image, col, row);
      pixels[static_cast<std::size_t>(row) * width + col] = {static_cast<int>((p >> 16) & 0xff),
                                                             static_cast<int>((p >> 8) & 0xff),
                                                             static_cast<int>(p & 0xff)};
    }
  XDestroyImage(image);
  return {width, height, std::move(pixels)};
}

Picture GameProcess::waitForPicture(const std::function<bool(const Picture&)>& ready,
                                    double timeoutSeconds) {
  const auto until =
      std::min(deadline_, Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                             std::chrono::duration<double>(timeoutSeconds)));
  while (Clock::now() < until && running()) {
    Picture picture = capture();
    if (!picture.empty() && ready(picture)) return picture;
    pause(0.03);
  }
  return {};
}

void GameProcess::settle(double seconds) {
  pause(seconds);
}

}  // namespace driver
