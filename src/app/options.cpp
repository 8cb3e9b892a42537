// Command-line parsing in the usual GNU style: --name and --name=value or --name value.
#include "app/options.h"

#include <charconv>
#include <cstring>
#include <string_view>

#include "app/version.h"

namespace brambleshot {

namespace {

constexpr int kMinWindowSide = 64;
constexpr int kMaxWindowSide = 16384;

constexpr const char* kUsage =
    "Usage: brambleshot [OPTION]... [GLUT OPTION]...\n"
    "Defend the desert from bombers with your tank.\n"
    "\n"
    "  --fullscreen           start in fullscreen (F11 toggles it while playing)\n"
    "  --window WIDTHxHEIGHT  open a window of this size instead of 800x600\n"
    "  --mute                 start with the sound off (m toggles it while playing)\n"
    "  --record FILE          record the game as a demo in FILE\n"
    "  --play FILE            replay the demo in FILE\n"
    "  --fast                 with --play: replay as fast as frames can be drawn\n"
    "  --help                 show this help and exit\n"
    "  --version              show the version and exit\n"
    "\n"
    "GLUT's X options (-display NAME, -geometry WxH+X+Y, -iconic, -sync, -direct,\n"
    "-indirect, -gldebug) are handed to GLUT.\n"
    "In the game: mouse aims, left button fires the guns, space the cannon, a/d drive,\n"
    "p pauses, h shows the controls, m mutes, n starts a new game, q quits.\n";

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
    if (name == "--help" || name == "-h") {
      std::fputs(kUsage, out);
      return ParseResult::exitOk;
    }
    if (name == "--version") {
      std::fprintf(out, "brambleshot %s\n", kVersion);
      return ParseResult::exitOk;
    }
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
