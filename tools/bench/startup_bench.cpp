// Times the game's start-up from the outside: the clock starts before fork/exec, and stops
// when a strip of the window's pixels, read with XGetImage about every millisecond, equals the
// start screen. The start screen never changes, so its strip is taken once beforehand from a
// game left to settle.
#include "startup_bench.h"

#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "game_driver.h"

#include "timing.h"

namespace bench {

namespace {

// One row across the panel and the scene, clear of the window's edges.
constexpr int kStripX = 20;
constexpr int kStripY = 300;
constexpr int kStripWidth = 760;

using Strip = std::vector<driver::Rgb>;

Strip readStrip(driver::GameProcess& game) {
  if (!game.findWindow()) return {};
  const driver::Picture picture = game.capture(kStripX, kStripY, kStripWidth, 1);
  Strip strip;
  for (int x = 0; x < picture.width(); ++x)
    strip.push_back(picture.at(x, 0));
  return strip;
}

// Polls until the strip equals `wanted` (or, with no wanted strip, until it stops changing
// for a second); returns milliseconds since `start`, or a negative number on timeout.
double waitForStrip(driver::GameProcess& game, Clock::time_point start, Strip& wanted) {
  const bool settle = wanted.empty();
  Strip last;
  auto lastChange = Clock::now();
  while (millisecondsSince(start) < 20000 && game.running()) {
    const Strip strip = readStrip(game);
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
    std::this_thread::sleep_for(std::chrono::microseconds(settle ? 20000 : 1000));
  }
  return -1;
}

}  // namespace

bool runStartupBench(const std::filesystem::path& binary, const std::filesystem::path& workDir,
                     int runs, Report& report) {
  const char* display = std::getenv("DISPLAY");
  if (!display) {
    std::printf("start-up: no X display\n");
    return false;
  }
  Strip startScreen;
  {
    driver::GameProcess game(display, workDir, 60.0, binary);
    const double settled = waitForStrip(game, Clock::now(), startScreen);
    bool blank = true;
    for (const driver::Rgb& p : startScreen)
      blank = blank && p == driver::Rgb{};
    if (settled < 0 || blank) {
      std::printf("start-up: the game's start screen never showed\n");
      return false;
    }
  }
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    std::this_thread::sleep_for(std::chrono::milliseconds(150));  // let the last window go
    const auto start = Clock::now();
    driver::GameProcess game(display, workDir, 60.0, binary);
    const double ms = waitForStrip(game, start, startScreen);
    if (ms >= 0) times.push_back(ms);
  }
  if (times.empty()) return false;
  const Figure f = summarise(times);
  report.add({"startup_first_frame_ms", "start-up: exec to first frame (outside, X)", "ms", f,
              "<= 150 ms", f.median <= 150.0, 1});
  return true;
}

}  // namespace bench
