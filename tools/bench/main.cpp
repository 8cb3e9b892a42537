// brambleshot_bench: measures the game's pace (steps per second) and its frames bare, in
// typical play and at peak load, the start-up and the loaders against their peers; prints one
// table and writes it as JSON.
//
//   brambleshot_bench [--json FILE] [--runs N] [--frames N] [--pace-runs N] [--pace-seconds S]
//                     [--quick] [--pictures DIR] [--only loaders|startup|pace|frames]
//
// Run from the repository's root (the game's Resources/ are read from there) with an X display.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "demo_bench.h"
#include "frame_bench.h"
#include "loader_bench.h"
#include "report.h"
#include "startup_bench.h"

namespace {

std::string cpuModel() {
  std::ifstream cpuinfo("/proc/cpuinfo");
  std::string line;
  while (std::getline(cpuinfo, line)) {
    if (line.rfind("model name", 0) == 0) {
      const auto colon = line.find(':');
      if (colon != std::string::npos) return line.substr(line.find_first_not_of(" \t", colon + 1));
    }
  }
  return "unknown CPU";
}

int usage() {
  std::fprintf(stderr,
               "usage: brambleshot_bench [--json FILE] [--runs N] [--frames N] [--pace-runs N] "
               "[--pace-seconds S] [--quick] [--pictures DIR] "
               "[--only loaders|startup|pace|frames]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  // The game's sound mixes on OpenAL Soft's null device (for nobody, at full cost) unless the
  // caller picks another, so machines without a sound card measure the same work.
  setenv("ALSOFT_DRIVERS", "null", 0);
  std::filesystem::path json = "build/bench.json";
  std::filesystem::path workDir = BENCH_WORK_DIR;
  bench::FrameBenchOptions frames;
  int loaderRuns = 9;
  int startupRuns = 11;
  std::string only;
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--json") == 0 && hasValue) {
      json = argv[++i];
    } else if (std::strcmp(argv[i], "--runs") == 0 && hasValue) {
      frames.runs = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--frames") == 0 && hasValue) {
      frames.framesPerRun = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--pace-runs") == 0 && hasValue) {
      frames.pace.runs = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--pace-seconds") == 0 && hasValue) {
      frames.pace.seconds = std::atof(argv[++i]);
    } else if (std::strcmp(argv[i], "--pictures") == 0 && hasValue) {
      frames.picturesDir = argv[++i];
    } else if (std::strcmp(argv[i], "--only") == 0 && hasValue) {
      only = argv[++i];
    } else if (std::strcmp(argv[i], "--quick") == 0) {
      // A smoke run of every measurement; the figures are not stable enough to report.
      frames.runs = 2;
      frames.framesPerRun = 100;
      frames.loadRuns = 2;
      frames.pace.runs = 2;
      frames.pace.seconds = 1;
      frames.pace.warmUp = 0.2;
      loaderRuns = 2;
      startupRuns = 2;
    } else {
      return usage();
    }
  }
  if (frames.runs < 1 || frames.framesPerRun < 1 || frames.pace.runs < 1 ||
      !(frames.pace.seconds > 0))
    return usage();
  // The pace and the frame times share one window; --only picks either.
  if (only == "pace") frames.frameTimes = false;
  if (only == "frames") frames.pace.runs = 0;

  bench::Report report;
  auto wanted = [&only](const char* part) {
    if (!only.empty() && only != part) return false;
    std::printf("%s ...\n", part);
    std::fflush(stdout);
    return true;
  };
  if (wanted("loaders") && !bench::runLoaderBench(workDir, loaderRuns, report)) return 1;
  if (wanted("startup") &&
      !bench::runStartupBench(BRAMBLESHOT_BINARY, std::filesystem::current_path(), startupRuns,
                              report))
    return 1;
  const bool paceOnly = only == "pace";
  if (wanted(paceOnly ? "pace" : "frames") && !bench::runFrameBench(frames, report)) return 1;
  // Beside the staged scenes' pace: a busy recorded game, replayed with the real sleep.
  if ((only.empty() || paceOnly) &&
      !bench::runDemoBench(BRAMBLESHOT_BINARY, std::filesystem::current_path(),
                           "tests/demo/games/chains.demo", frames.pace.runs > 2 ? 3 : 1, report))
    return 1;
  std::printf("\n");

  report.setMachine(cpuModel(), static_cast<int>(std::thread::hardware_concurrency()),
                    bench::rendererName());
  std::printf("%s", report.table().c_str());
  if (json.has_parent_path()) std::filesystem::create_directories(json.parent_path());
  std::ofstream(json) << report.json();
  std::printf("written to %s\n", json.c_str());
  return 0;
}
