// Reading a demo: the header, then one event a line, checked strictly so that a damaged or
// hand-edited file is refused with the line at fault instead of replaying something else.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <initializer_list>

#include "demo/demo.h"
#include "world/game.h"

namespace brambleshot {

namespace {

constexpr int kMaxPointer = 1000000;  // pointer positions are window pixels, give or take
constexpr int kMaxButton = 15;
constexpr std::size_t kMaxTokens = 5;
constexpr std::size_t kMaxLineLength = 200;

// The pieces joined into one message (g++ 12 warns wrongly about "literal" + std::string).
std::string join(std::initializer_list<std::string_view> pieces) {
  std::string text;
  for (std::string_view piece : pieces)
    text.append(piece);
  return text;
}

// A line's words, split at single spaces.
struct Words {
  std::string_view word[kMaxTokens];
  std::size_t count = 0;
  bool tooMany = false;
  bool badSpacing = false;  // empty words: doubled, leading or trailing spaces
};

Words split(std::string_view line) {
  Words words;
  std::size_t start = 0;
  while (true) {
    const std::size_t space = line.find(' ', start);
    const std::string_view word = line.substr(
        start, space == std::string_view::npos ? std::string_view::npos : space - start);
    if (word.empty()) words.badSpacing = true;
    if (words.count == kMaxTokens) {
      words.tooMany = true;
      break;
    }
    words.word[words.count++] = word;
    if (space == std::string_view::npos) break;
    start = space + 1;
  }
  return words;
}

// A decimal integer in [low, high]: an optional minus, then digits without leading zeros. At
// most 12 characters, so it cannot overflow.
bool parseInt(std::string_view text, long long low, long long high, long long& value) {
  if (text.empty() || text.size() > 12) return false;
  const bool negative = text[0] == '-';
  const std::string_view digits = negative ? text.substr(1) : text;
  if (digits.empty() || (digits[0] == '0' && (digits.size() > 1 || negative))) return false;
  long long magnitude = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    magnitude = magnitude * 10 + (c - '0');
  }
  value = negative ? -magnitude : magnitude;
  return value >= low && value <= high;
}

// Exactly 16 lower-case hex digits.
bool parseHash(std::string_view text, std::uint64_t& value) {
  if (text.size() != 16) return false;
  value = 0;
  for (char c : text) {
    unsigned digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a') + 10;
    } else {
      return false;
    }
    value = (value << 4) | digit;
  }
  return true;
}

// Control bytes written as \xNN, so that a NUL or an escape sequence from a damaged line
// neither cuts the message short nor reaches the terminal.
std::string visible(std::string_view text) {
  std::string shown;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7f) {
      shown += c;
    } else {
      static const char kHex[] = "0123456789abcdef";
      shown += {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
    }
  }
  return shown;
}

bool isVersionText(std::string_view text) {
  if (text.empty() || text.size() > 32) return false;
  for (char c : text)
    if (!std::isalnum(static_cast<unsigned char>(c)) &&
        std::string_view(".+-~_").find(c) == std::string_view::npos)
      return false;
  return true;
}

class Reader {
 public:
  Reader(std::string_view name, Demo& demo, std::string& error)
      : name_(name), demo_(demo), error_(error) {}

  bool fail(const std::string& what) {
    error_ = join({name_, ":", std::to_string(lineNumber_), ": ", visible(what)});
    return false;
  }

  bool read(std::string_view text) {
    demo_ = Demo{};
    if (text.empty()) {
      lineNumber_ = 1;
      return fail("empty file, not a demo");
    }
    std::size_t start = 0;
    while (start < text.size()) {
      ++lineNumber_;
      const std::size_t newline = text.find('\n', start);
      if (newline == std::string_view::npos)
        return fail(join({"truncated: the last line has no end (",
                          std::to_string(text.size() - start), " bytes)"}));
      const std::string_view line = text.substr(start, newline - start);
      start = newline + 1;
      if (line.size() > kMaxLineLength) return fail("line too long for a demo");
      if (!readLine(line)) return false;
    }
    if (headerLines_ < 4) {
      ++lineNumber_;
      static const char* const kMissing[] = {"format", "game", "seed", "window"};
      return fail(join({"truncated: the header has no ", kMissing[headerLines_], " line"}));
    }
    return true;
  }

 private:
  bool readLine(std::string_view line) {
    if (demo_.finished) return fail("nothing may follow the end line");
    const Words w = split(line);
    if (w.badSpacing || w.tooMany) {
      if (headerLines_ == 0) return fail("not a Brambleshot demo");
      return fail("malformed line: words are separated by single spaces");
    }
    const std::string_view kind = w.word[0];
    if (headerLines_ < 4) return readHeader(w);

    long long v[4] = {};
    auto want = [&](std::size_t args) {
      return w.count == args + 1
                 ? true
                 : fail(join({"'", kind, "' takes ", std::to_string(args), " values"}));
    };
    auto number = [&](std::size_t index, long long low, long long high, const char* what) {
      return parseInt(w.word[index], low, high, v[index - 1])
                 ? true
                 : fail(join({"bad ", what, " '", w.word[index], "'"}));
    };
    auto pointer = [&](std::size_t index) {
      return number(index, -kMaxPointer, kMaxPointer, "pointer x") &&
             number(index + 1, -kMaxPointer, kMaxPointer, "pointer y");
    };
    DemoEvent event;
    if (kind == "key") {
      if (!want(3) || !number(1, 0, 255, "key") || !pointer(2)) return false;
      // q would end the replay on the spot: a recording writes its end line instead.
      if (v[0] == 'q') return fail("key 113 (q) is never recorded; the end line ends a demo");
      event = {DemoEventType::key, int(v[0]), int(v[1]), int(v[2]), 0};
    } else if (kind == "button") {
      if (!want(4) || !number(1, 0, kMaxButton, "button") || !number(2, 0, 1, "button state") ||
          !pointer(3))
        return false;
      event = {DemoEventType::button, int(v[0]), int(v[1]), int(v[2]), int(v[3])};
    } else if (kind == "motion") {
      if (!want(2) || !pointer(1)) return false;
      event = {DemoEventType::motion, int(v[0]), int(v[1]), 0, 0};
    } else if (kind == "reshape") {
      if (!want(2) || !number(1, 0, kMaxWindowSide, "width") ||
          !number(2, 0, kMaxWindowSide, "height"))
        return false;
      event = {DemoEventType::reshape, int(v[0]), int(v[1]), 0, 0};
    } else if (kind == "idle") {
      if (!want(0)) return false;
      event = {DemoEventType::idle, 0, 0, 0, 0};
    } else if (kind == "frame" || kind == "end") {
      const long long frames = static_cast<long long>(demo_.frameChecksums.size());
      const long long expected = kind == "frame" ? frames + 1 : frames;
      std::uint64_t hash = 0;
      if (!want(2)) return false;
      if (!parseInt(w.word[1], 0, 1LL << 40, v[0]) || v[0] != expected)
        return fail(join({"'", kind, "' should count ", std::to_string(expected), " frames, not '",
                          w.word[1], "'"}));
      if (!parseHash(w.word[2], hash))
        return fail(join({"bad checksum '", w.word[2], "' (16 hex digits)"}));
      if (kind == "end") {
        demo_.finished = true;
        demo_.pictureHash = hash;
        return true;
      }
      demo_.frameChecksums.push_back(hash);
      event = {DemoEventType::frame, 0, 0, 0, 0};
    } else {
      return fail(join({"unknown event '", kind, "'"}));
    }
    demo_.events.push_back(event);
    return true;
  }

  bool readHeader(const Words& w) {
    const std::string_view kind = w.word[0];
    long long value = 0;
    switch (headerLines_++) {
      case 0:
        if (kind != kDemoFormat || w.count != 2) return fail("not a Brambleshot demo");
        if (!parseInt(w.word[1], 1, 1000000, value))
          return fail(join({"bad format version '", w.word[1], "'"}));
        if (value != kDemoVersion)
          return fail(join({"demo format version ", std::to_string(value),
                            "; this game reads version ", std::to_string(kDemoVersion)}));
        demo_.version = static_cast<int>(value);
        return true;
      case 1:
        if (kind != "game" || w.count != 2 || !isVersionText(w.word[1]))
          return fail("expected 'game VERSION'");
        demo_.gameVersion = w.word[1];
        return true;
      case 2:
        if (kind != "seed" || w.count != 2 || !parseInt(w.word[1], 0, 0xffffffffLL, value))
          return fail("expected 'seed N' (0 to 4294967295)");
        demo_.seed = static_cast<std::uint32_t>(value);
        return true;
      default: {
        long long height = 0;
        if (kind != "window" || w.count != 3 ||
            !parseInt(w.word[1], kMinWindowSide, kMaxWindowSide, value) ||
            !parseInt(w.word[2], kMinWindowSide, kMaxWindowSide, height))
          return fail(join({"expected 'window WIDTH HEIGHT' (", std::to_string(kMinWindowSide),
                            " to ", std::to_string(kMaxWindowSide), " pixels)"}));
        demo_.windowWidth = static_cast<int>(value);
        demo_.windowHeight = static_cast<int>(height);
        return true;
      }
    }
  }

  std::string_view name_;
  Demo& demo_;
  std::string& error_;
  int lineNumber_ = 0;
  int headerLines_ = 0;
};

}  // namespace

bool parseDemo(std::string_view text, std::string_view name, Demo& demo, std::string& error) {
  return Reader(name, demo, error).read(text);
}

std::string notRegularFile(unsigned mode) {
  const char* kind = S_ISDIR(mode)                    ? "a directory"
                     : S_ISFIFO(mode)                 ? "a FIFO"
                     : S_ISSOCK(mode)                 ? "a socket"
                     : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
                                                      : "not a file";
  return join({"is ", kind, ", not a regular file"});
}

bool loadDemo(const std::string& path, Demo& demo, std::string& error) {
  // Opening never waits (a FIFO without a writer would), and only a regular file is read.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = path + ": cannot open: " + std::strerror(errno);
    return false;
  }
  struct stat file {};
  std::string text;
  error.clear();
  if (::fstat(fd, &file) != 0) {
    error = path + ": cannot open: " + std::strerror(errno);
  } else if (!S_ISREG(file.st_mode)) {
    error = path + ": " + notRegularFile(file.st_mode);
  } else if (static_cast<std::uintmax_t>(file.st_size) > kMaxDemoBytes) {
    error = path + ": too large for a demo (" + std::to_string(file.st_size) + " bytes)";
  } else {
    char chunk[65536];
    while (error.empty()) {
      const ssize_t n = ::read(fd, chunk, sizeof chunk);
      if (n == 0) break;
      if (n < 0) {
        if (errno != EINTR) error = path + ": cannot read: " + std::strerror(errno);
        continue;
      }
      text.append(chunk, static_cast<std::size_t>(n));
      if (text.size() > kMaxDemoBytes) error = path + ": too large for a demo";
    }
  }
  ::close(fd);
  return error.empty() && parseDemo(text, path, demo, error);
}

}  // namespace brambleshot
