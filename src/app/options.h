// The game's own command-line options, read before GLUT sees the arguments.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace brambleshot {

struct Options {
  bool fullscreen = false;
  int windowWidth = 0;  // pixels; 0 keeps the game's 800 x 600
  int windowHeight = 0;
  bool mute = false;                  // start with the sound off
  std::string recordFile;             // --record: write a demo of this game here
  std::string playFile;               // --play: replay this demo
  bool fast = false;                  // --fast: replay as fast as frames can be drawn
  std::optional<std::uint32_t> seed;  // the generator's seed (a demo's); unset: the clock
};

enum class ParseResult {
  play,     // start the game with the options read
  exitOk,   // --help or --version was answered: exit 0
  exitBad,  // a refusal was printed: exit 2
};

// Reads the game's options out of argv and removes them, leaving GLUT's own X options (and
// their values) in place for glutInit. Usage and the version go to out, refusals to err.
ParseResult parseOptions(int& argc, char** argv, Options& options, std::FILE* out, std::FILE* err);

// Parses "WIDTHxHEIGHT" within the sizes a window may sensibly have; false for anything else.
bool parseWindowSize(const char* text, int& width, int& height);

}  // namespace brambleshot
