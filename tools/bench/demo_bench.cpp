// Replays a demo in the real game and reads the pace from the game's own closing line
// ("N frames replayed exactly in S s ..."), which times the replay alone, not the start-up.
#include "demo_bench.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "game_driver.h"
#include "pace_bench.h"

namespace bench {

bool runDemoBench(const std::filesystem::path& binary, const std::filesystem::path& workDir,
                  const std::filesystem::path& demo, int runs, Report& report) {
  const char* display = std::getenv("DISPLAY");
  if (!display) {
    std::printf("demo: no X display\n");
    return false;
  }
  std::vector<double> rates;
  for (int run = 0; run < runs; ++run) {
    driver::GameProcess game(display, workDir, 300.0, binary, {{"--play", demo.string()}, {}});
    const int status = game.waitForExit(290.0);
    const std::string& output = game.output();
    const std::size_t at = output.find(" frames replayed exactly in ");
    const std::size_t lineStart = output.rfind(": ", at);
    int frames = 0;
    double seconds = 0;
    if (status != 0 || at == std::string::npos || lineStart == std::string::npos ||
        std::sscanf(output.c_str() + lineStart + 2, "%d frames replayed exactly in %lf s", &frames,
                    &seconds) != 2 ||
        !(seconds > 0)) {
      std::printf("demo: %s did not replay exactly (status %d):\n%s\n", demo.c_str(), status,
                  output.c_str());
      return false;
    }
    rates.push_back(frames / seconds);
  }
  const Figure rate = summarise(rates);
  const Figure percent = {100 * rate.median / kDesignedStepsPerSecond,
                          100 * rate.min / kDesignedStepsPerSecond,
                          100 * rate.max / kDesignedStepsPerSecond, rate.runs};
  const std::string name = demo.stem().string();
  report.add(
      {"pace_demo_steps_per_s", "pace, demo " + name + " replayed", "steps/s", rate, "", {}, 1});
  report.add(
      {"pace_demo_percent", "  pace, demo " + name + ", of 200 steps/s", "%", percent, "", {}, 1});
  return true;
}

}  // namespace bench
