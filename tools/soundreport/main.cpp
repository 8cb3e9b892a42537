// soundreport: measures the game's sound as a mixing engineer would.
//
//   soundreport measure FILE.wav [--from S] [--to S]
//   soundreport sounds DIR
//   soundreport record OUT.wav [--seconds N]
//   soundreport picture FILE.wav OUT.png [--title TEXT]
//
// measure prints the peaks, the loudness and the largest sample step of a recording; sounds
// does the same for every WAV in a folder (the game's Resources/sounds), played at gain 1, and
// how far apart the low sounds' spectra are, with and without a 200 Hz high-pass; record plays a
// scripted minute of the game through its sound player into a WAV file; picture draws a
// recording's spectrogram over its loudness.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "picture.h"
#include "record.h"
#include "sound_measure.h"

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: soundreport measure FILE.wav [--from S] [--to S]\n"
               "       soundreport sounds DIR\n"
               "       soundreport record OUT.wav [--seconds N]\n"
               "       soundreport picture FILE.wav OUT.png [--title TEXT]\n");
  return 2;
}

// The value after option `name` at argv[i], advancing i; false if it is not there.
bool optionValue(int argc, char** argv, int& i, const char* name, std::string& value) {
  if (std::strcmp(argv[i], name) != 0 || i + 1 >= argc) return false;
  value = argv[++i];
  return true;
}

bool toSeconds(const std::string& text, double& seconds) {
  char* end = nullptr;
  seconds = std::strtod(text.c_str(), &end);
  return !text.empty() && *end == '\0' && std::isfinite(seconds) && seconds >= 0;
}

bool load(const std::string& path, tools::Audio& audio) {
  std::string error;
  if (tools::readWav(path, audio, error)) return true;
  std::fprintf(stderr, "soundreport: %s: %s\n", path.c_str(), error.c_str());
  return false;
}

int measure(const std::string& path, double from, double to) {
  tools::Audio audio;
  if (!load(path, audio)) return 1;
  to = std::min(to, audio.seconds());
  from = std::min(from, to);
  const tools::Loudness loudness = tools::measureLoudness(audio, from, to);
  const tools::Step step = tools::largestStep(audio, from, to);
  std::printf("%s: %d Hz, %d channel%s, %.3f s measured from %.3f s\n", path.c_str(), audio.rate,
              audio.channels, audio.channels == 1 ? "" : "s", to - from, from);
  std::printf("sample peak      %7.2f dBFS\n", tools::samplePeakDb(audio, from, to));
  std::printf("true peak        %7.2f dBTP\n", tools::truePeakDb(audio, from, to));
  std::printf("integrated       %7.2f LUFS\n", loudness.integrated);
  std::printf("max momentary    %7.2f LUFS\n", loudness.maxMomentary);
  std::printf("max short-term   %7.2f LUFS\n", loudness.maxShortTerm);
  std::printf("largest step     %7.2f dBFS (%.4f) at %.4f s, channel %d\n", step.db, step.size,
              step.at, step.channel);
  return 0;
}

// The pairwise spectral distances of the named sounds, one row a sound.
void distanceTable(const std::vector<std::string>& names,
                   const std::vector<std::vector<double>>& bands) {
  std::printf("%-12s", "");
  for (const std::string& name : names)
    std::printf("%10s", name.c_str());
  std::printf("\n");
  for (std::size_t i = 0; i < names.size(); ++i) {
    std::printf("%-12s", names[i].c_str());
    for (std::size_t j = 0; j < names.size(); ++j)
      std::printf("%10.1f", tools::spectralDistanceDb(bands[i], bands[j]));
    std::printf("\n");
  }
}

int sounds(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error))
    if (entry.path().extension() == ".wav") files.push_back(entry.path());
  if (error || files.empty()) {
    std::fprintf(stderr, "soundreport: no WAV files in %s\n", folder.c_str());
    return 1;
  }
  std::sort(files.begin(), files.end());
  std::printf("%-14s %8s %10s %10s %14s %14s\n", "sound", "seconds", "peak dBFS", "true dBTP",
              "integ. LUFS", "max mom. LUFS");
  std::vector<std::string> lowNames;
  std::vector<std::vector<double>> lowBands, lowBandsHighPassed;
  bool ok = true;
  for (const auto& path : files) {
    tools::Audio audio;
    if (!load(path, audio)) {
      ok = false;
      continue;
    }
    // A sound shorter than the 400 ms window is heard followed by silence, and measured so.
    tools::Audio padded = audio;
    padded.samples.resize(std::max(padded.samples.size(),
                                   static_cast<std::size_t>(audio.rate * 2 / 5) * audio.channels));
    const tools::Loudness loudness = tools::measureLoudness(padded);
    std::printf("%-14s %8.3f %10.2f %10.2f %14.2f %14.2f\n", path.filename().c_str(),
                audio.seconds(), tools::samplePeakDb(audio), tools::truePeakDb(audio),
                loudness.integrated, loudness.maxMomentary);
    const std::string name = path.stem();
    for (const char* low : {"cannon", "ground", "boom", "tank", "pop"})
      if (name == low) {
        lowNames.push_back(name);
        lowBands.push_back(tools::bandLevelsDb(audio));
        lowBandsHighPassed.push_back(tools::bandLevelsDb(tools::highPassed(audio, 200.0)));
      }
  }
  if (!lowNames.empty()) {
    std::printf("\nspectral distance, dB rms over third-octave bands:\n");
    distanceTable(lowNames, lowBands);
    std::printf("\nthe same through a 200 Hz high-pass:\n");
    distanceTable(lowNames, lowBandsHighPassed);
  }
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return usage();
  const std::string command = argv[1];
  if (command == "measure") {
    double from = 0, to = tools::kWholeAudio;
    for (int i = 3; i < argc; ++i) {
      std::string value;
      if (optionValue(argc, argv, i, "--from", value) && toSeconds(value, from)) continue;
      if (optionValue(argc, argv, i, "--to", value) && toSeconds(value, to)) continue;
      return usage();
    }
    return measure(argv[2], from, to);
  }
  if (command == "sounds" && argc == 3) return sounds(argv[2]);
  if (command == "record") {
    double seconds = 60;
    for (int i = 3; i < argc; ++i) {
      std::string value;
      if (optionValue(argc, argv, i, "--seconds", value) && toSeconds(value, seconds) &&
          seconds >= 1)
        continue;
      return usage();
    }
    return soundreport::recordPlay(argv[2], seconds) ? 0 : 1;
  }
  if (command == "picture" && argc >= 4) {
    std::string title = std::filesystem::path(argv[2]).filename();
    for (int i = 4; i < argc; ++i)
      if (!optionValue(argc, argv, i, "--title", title)) return usage();
    tools::Audio audio;
    if (!load(argv[2], audio)) return 1;
    return soundreport::writeReportPng(argv[3], audio, title) ? 0 : 1;
  }
  return usage();
}
