// framediff: compares two runs of the seeded game frame by frame, to judge a change to the
// drawing that is allowed to move a few pixels.
//
//   framediff BEFORE AFTER [--max-share PERCENT] [--max-level LEVELS] [--shifted]
//             [--noise LEVELS]
//
// BEFORE and AFTER hold the frames as binary PPM pictures one after another, as
// `screenshots --frames FILE` writes them (files or pipes). Every frame that differs gets a
// line: how many pixels differ, their share of the picture, and the largest gap in any channel.
// The change passes when no frame has more than PERCENT of its pixels different (default 0.05)
// and no channel differs by more than LEVELS (default 24); with --shifted a pixel's gap is the
// smallest to the other picture's pixels around it, which forgives an edge one pixel over (two
// rasterisers rounding a vertex on a pixel's centre apart) but not a wrong colour; with --noise
// pixels apart by at most LEVELS in every channel count as the same (two pipelines rounding a
// lit or filtered colour apart). Exit status: 0 within the limits, 1 beyond them, 2 if the streams
// cannot be read or do not match in size or length.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ppm_stream.h"

namespace {

struct File {
  std::FILE* handle;
  explicit File(const char* path) : handle(std::fopen(path, "rb")) {}
  ~File() {
    if (handle) std::fclose(handle);
  }
};

int usage() {
  std::fprintf(stderr,
               "usage: framediff BEFORE AFTER [--max-share PERCENT] [--max-level LEVELS] "
               "[--shifted] [--noise LEVELS]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const char* paths[2] = {nullptr, nullptr};
  double maxShare = 0.05;
  int maxLevel = 24;
  bool shifted = false;
  int noise = 0;
  int named = 0;
  for (int i = 1; i < argc; ++i) {
    char* end = nullptr;
    if (std::strcmp(argv[i], "--shifted") == 0) {
      shifted = true;
      continue;
    }
    if (std::strcmp(argv[i], "--max-share") == 0 && i + 1 < argc) {
      maxShare = std::strtod(argv[++i], &end);
    } else if (std::strcmp(argv[i], "--noise") == 0 && i + 1 < argc) {
      noise = static_cast<int>(std::strtol(argv[++i], &end, 10));
    } else if (std::strcmp(argv[i], "--max-level") == 0 && i + 1 < argc) {
      maxLevel = static_cast<int>(std::strtol(argv[++i], &end, 10));
    } else if (named < 2 && argv[i][0] != '-') {
      paths[named++] = argv[i];
      continue;
    } else {
      return usage();
    }
    if (end == argv[i] || *end != '\0') return usage();
  }
  if (named != 2) return usage();

  File files[2] = {File(paths[0]), File(paths[1])};
  for (int s = 0; s < 2; ++s)
    if (!files[s].handle) {
      std::fprintf(stderr, "framediff: cannot read %s\n", paths[s]);
      return 2;
    }

  tools::RgbPicture pictures[2];
  long frames = 0, differing = 0, worstShareFrame = 0, worstLevelFrame = 0;
  double worstShare = 0.0;
  int worstLevel = 0;
  for (;; ++frames) {
    tools::PpmRead read[2];
    for (int s = 0; s < 2; ++s) {
      std::string error;
      read[s] = tools::readPpm(files[s].handle, pictures[s], error);
      if (read[s] == tools::PpmRead::bad) {
        std::fprintf(stderr, "framediff: %s, frame %ld: %s\n", paths[s], frames, error.c_str());
        return 2;
      }
    }
    if (read[0] != read[1]) {
      std::fprintf(stderr, "framediff: %s ends after %ld frames, the other goes on\n",
                   paths[read[0] == tools::PpmRead::end ? 0 : 1], frames);
      return 2;
    }
    if (read[0] == tools::PpmRead::end) break;
    if (pictures[0].width != pictures[1].width || pictures[0].height != pictures[1].height) {
      std::fprintf(stderr, "framediff: frame %ld is %dx%d in one and %dx%d in the other\n", frames,
                   pictures[0].width, pictures[0].height, pictures[1].width, pictures[1].height);
      return 2;
    }
    const tools::PictureDifference d = tools::comparePictures(pictures[0], pictures[1], noise);
    if (d.pixels == 0) continue;
    ++differing;
    const double share = 100.0 * static_cast<double>(d.pixels) /
                         (static_cast<double>(pictures[0].width) * pictures[0].height);
    std::printf(
        "frame %ld: %ld pixels differ (%.4f%%), by up to %d levels (%d allowing a pixel's "
        "shift)\n",
        frames, d.pixels, share, d.maxLevel, d.shiftedMaxLevel);
    const int level = shifted ? d.shiftedMaxLevel : d.maxLevel;
    if (share > worstShare) worstShare = share, worstShareFrame = frames;
    if (level > worstLevel) worstLevel = level, worstLevelFrame = frames;
  }
  const bool within = worstShare <= maxShare && worstLevel <= maxLevel;
  std::printf(
      "%ld frames, %ld differ; largest share %.4f%% (frame %ld, limit %g%%), largest gap "
      "%d levels%s (frame %ld, limit %d): %s\n",
      frames, differing, worstShare, worstShareFrame, maxShare, worstLevel,
      shifted ? " allowing a pixel's shift" : "", worstLevelFrame, maxLevel,
      within ? "within the limits" : "BEYOND the limits");
  return within ? 0 : 1;
}
