// Command-line parsing in the usual GNU style: --name and --name=value or --name value.
#include "app/options.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <string_view>

#include "world/game.h"
#include "world/version.h"

namespace brambleshot {

namespace {

constexpr const char* kUsage =
    "Usage: brambleshot [OPTION]... [GLUT OPTION]...\n"
    "Defend the desert from bombers with your tank.\n"
    "\n"
    "  --fullscreen           start in fullscreen (F11 toggles it while playing)\n"
    "  --window WIDTHxHEIGHT  open a window of this size instead of 800x600\n"
    "  --mute                 start with the sound off (m toggles it while playing)\n"
    "  --record FILE          record the game as a demo in FILE (a regular file)\n"
    "  --play FILE            replay the demo in FILE (q or closing the window stops it)\n"
    "  --fast                 with --play: replay as fast as frames can be drawn\n"
    "  -h, --help             show this help and exit\n"
    "  --version              show the version and the licence and exit\n"
    "\n"
    "GLUT's X options (-display NAME, -geometry WxH+X+Y, -iconic, -sync, -direct,\n"
    "-indirect, -gldebug) are handed to GLUT.\n"
    "In the game: mouse aims, left button fires the guns, space the cannon, a/d drive,\n"
    "p pauses, h shows the controls, m mutes, F11 switches fullscreen, n starts a new\n"
    "game, q quits.\n"
    "A gamepad (SDL's standard layout) plays too: left stick or d-pad drives, right\n"
    "stick aims, right trigger or shoulder fires the guns, A the cannon, Start pauses,\n"
    "Back shows the controls, X starts a new game, Y mutes.\n"
    "\n"
    "Exit status: 0 the game or replay ended well; 1 an image could not be loaded;\n"
    "2 a refused command line or demo file, or this answer could not be written;\n"
    "3 a replay diverged from its recording; 4 the demo being recorded could not be\n"
    "written (it ends at its last whole frame); 5 a replay was stopped before its end;\n"
    "6 the X display was lost.\n";

// An answer to --help or --version: one that cannot be written (a full disk, a closed pipe) is
// a failure, said on err.
ParseResult answer(const char* text, std::FILE* out, std::FILE* err) {
  if (std::fputs(text, out) >= 0 && std::fflush(out) == 0 && !std::ferror(out))
    return ParseResult::exitOk;
  std::fprintf(err, "brambleshot: cannot write the answer: %s\n", std::strerror(errno));
  return ParseResult::exitBad;
}

// GLUT's options and whether each takes a value.
struct GlutOption {
  const char* name;
  bool takesValue;
};
constexpr GlutOption kGlutOptions[] = {
    {"-display", true}, {"-geometry", true},  {"-iconic", false},  {"-sync", false},
    {"-direct", false}, {"-indirect", false}, {"-gldebug", false},
};

const GlutOption* findGlutOption(std::string_view arg) {
  for (const GlutOption& option : kGlutOptions)
    if (arg == option.name) return &option;
  return nullptr;
}

}  // namespace

bool parseWindowSize(const char* text, int& width, int& height) {
  const char* end = text + std::strlen(text);
  int w = 0;
  int h = 0;
  auto [afterWidth, widthError] = std::from_chars(text, end, w);
  if (widthError != std::errc() || afterWidth == text || afterWidth == end || *afterWidth != 'x')
    return false;
  const char* heightText = afterWidth + 1;
  auto [afterHeight, heightError] = std::from_chars(heightText, end, h);
  if (heightError != std::errc() || afterHeight == heightText || afterHeight != end) return false;
  if (w < kMinWindowSide || w > kMaxWindowSide || h < kMinWindowSide || h > kMaxWindowSide)
    return false;
  width = w;
  height = h;
  return true;
}

ParseResult parseOptions(int& argc, char** argv, Options& options, std::FILE* out, std::FILE* err) {
  int kept = 1;  // argv[0] stays
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (const GlutOption* glut = findGlutOption(arg)) {
      argv[kept++] = argv[i];
      if (glut->takesValue) {
        if (i + 1 >= argc) {
          std::fprintf(err, "brambleshot: option '%s' needs a value\n", argv[i]);
          return ParseResult::exitBad;
        }
        argv[kept++] = argv[++i];
      }
      continue;
    }
    // --name=value or --name value
    std::string_view name = arg;
    const char* value = nullptr;
    if (arg.starts_with("--")) {
      if (std::size_t eq = arg.find('='); eq != std::string_view::npos) {
        name = arg.substr(0, eq);
        value = argv[i] + eq + 1;
      }
    }
    auto flag = [&](bool& field) {
      if (value) {
        std::fprintf(err, "brambleshot: option '%.*s' takes no value\n",
                     static_cast<int>(name.size()), name.data());
        return false;
      }
      field = true;
      return true;
    };
    auto takeValue = [&]() -> const char* {
      if (value) return value;
      if (i + 1 < argc) return argv[++i];
      std::fprintf(err, "brambleshot: option '%.*s' needs a value\n", static_cast<int>(name.size()),
                   name.data());
      return nullptr;
    };
    if (name == "--help" || name == "-h") return answer(kUsage, out, err);
    if (name == "--version") return answer(kVersionText, out, err);
    bool ok = true;
    if (name == "--fullscreen") {
      ok = flag(options.fullscreen);
    } else if (name == "--mute") {
      ok = flag(options.mute);
    } else if (name == "--fast") {
      ok = flag(options.fast);
    } else if (name == "--window") {
      const char* size = takeValue();
      ok = size != nullptr;
      if (ok && !parseWindowSize(size, options.windowWidth, options.windowHeight)) {
        std::fprintf(err,
                     "brambleshot: --window wants WIDTHxHEIGHT, each from %d to %d pixels, "
                     "not '%s'\n",
                     kMinWindowSide, kMaxWindowSide, size);
        ok = false;
      }
    } else if (name == "--record" || name == "--play") {
      const char* file = takeValue();
      ok = file != nullptr && *file != '\0';
      if (file && !*file)
        std::fprintf(err, "brambleshot: option '%.*s' needs a file name\n",
                     static_cast<int>(name.size()), name.data());
      if (ok) (name == "--record" ? options.recordFile : options.playFile) = file;
    } else if (arg.starts_with("-")) {
      std::fprintf(err, "brambleshot: unknown option '%s' (try 'brambleshot --help')\n", argv[i]);
      ok = false;
    } else {
      std::fprintf(err, "brambleshot: unexpected argument '%s' (try 'brambleshot --help')\n",
                   argv[i]);
      ok = false;
    }
    if (!ok) return ParseResult::exitBad;
  }
  if (options.fast && options.playFile.empty()) {
    std::fprintf(err, "brambleshot: --fast works only with --play\n");
    return ParseResult::exitBad;
  }
  if (!options.recordFile.empty() && !options.playFile.empty()) {
    std::fprintf(err, "brambleshot: --record and --play cannot be used together\n");
    return ParseResult::exitBad;
  }
  if (!options.playFile.empty() && (options.fullscreen || options.windowWidth > 0)) {
    std::fprintf(err,
                 "brambleshot: --play takes the window's size from the demo: no --window "
                 "or --fullscreen\n");
    return ParseResult::exitBad;
  }
  argc = kept;
  argv[argc] = nullptr;
  return ParseResult::play;
}

}  // namespace brambleshot
