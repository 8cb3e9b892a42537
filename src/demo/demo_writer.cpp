// Writing a demo as the game goes: a frame's lines reach the file whole or not at all.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdarg>
#include <cstring>

#include "demo/demo.h"
#include "world/version.h"

namespace brambleshot {

DemoWriter::~DemoWriter() {
  abandon();
}

bool DemoWriter::open(const std::string& path, std::uint32_t seed, int windowWidth,
                      int windowHeight, std::string& error) {
  auto refuse = [&](const std::string& why) {
    error = path + ": " + why;
    return false;
  };
  // A FIFO, a device or a directory is refused before it is opened: opening some of them
  // would wait for a reader, and none of them keeps a demo.
  struct stat file {};
  if (::stat(path.c_str(), &file) == 0 && !S_ISREG(file.st_mode))
    return refuse(notRegularFile(file.st_mode));
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return refuse(std::string("cannot write the demo: ") + std::strerror(errno));
  // Checked again on what was opened, in case the name changed in between; and the demo never
  // shares a file with the game's messages.
  bool shared = false;
  for (int standard : {STDOUT_FILENO, STDERR_FILENO}) {
    struct stat stream {};
    shared = shared || (::fstat(standard, &stream) == 0 && ::fstat(fd, &file) == 0 &&
                        stream.st_dev == file.st_dev && stream.st_ino == file.st_ino);
  }
  std::string why;
  if (::fstat(fd, &file) != 0 || !S_ISREG(file.st_mode))
    why = notRegularFile(file.st_mode);
  else if (shared)
    why = "is where the game's own messages go: a demo needs a file of its own";
  else if (::ftruncate(fd, 0) != 0)
    why = std::string("cannot write the demo: ") + std::strerror(errno);
  if (!why.empty()) {
    ::close(fd);
    return refuse(why);
  }
  fd_ = fd;
  path_ = path;
  pending_.clear();
  pending_.reserve(4096);
  whole_ = 0;
  frames_ = 0;
  failed_ = failureReported_ = false;
  failure_.clear();
  line("%s %d\n", kDemoFormat, kDemoVersion);
  line("game %s\n", kVersion);
  line("seed %" PRIu32 "\n", seed);
  line("window %d %d\n", windowWidth, windowHeight);
  if (!writeOut()) {
    failureReported_ = true;
    return refuse("cannot write the demo: " + failure_);
  }
  return true;
}

void DemoWriter::line(const char* format, ...) {
  if (fd_ < 0) return;
  char text[128];  // the longest line is a button's, about 60 characters
  std::va_list args;
  va_start(args, format);
  const int length = std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (length > 0) pending_.append(text, std::min<std::size_t>(length, sizeof text - 1));
}

bool DemoWriter::writeOut() {
  if (fd_ < 0) return false;
  ssize_t written = 0;
  do {
    written = ::write(fd_, pending_.data(), pending_.size());
  } while (written < 0 && errno == EINTR);
  if (written == static_cast<ssize_t>(pending_.size())) {
    whole_ += pending_.size();
    pending_.clear();
    return true;
  }
  if (written < 0) {
    fail(std::strerror(errno));
    return false;
  }
  // The file system took only part of the frame: a line cut short would make the whole demo
  // unreadable, so the file goes back to its last whole frame.
  std::string why = "the file took only " + std::to_string(written) + " of " +
                    std::to_string(pending_.size()) + " bytes (a full disk, or a file-size limit)";
  if (::ftruncate(fd_, static_cast<off_t>(whole_)) != 0)
    why += std::string("; cutting it back to its last whole frame failed: ") + std::strerror(errno);
  fail(why);
  return false;
}

void DemoWriter::fail(const std::string& why) {
  failed_ = true;
  failure_ = why;
  abandon();
}

void DemoWriter::key(unsigned char key, int x, int y) {
  line("key %d %d %d\n", key, x, y);
}

void DemoWriter::button(int button, int state, int x, int y) {
  line("button %d %d %d %d\n", button, state, x, y);
}

void DemoWriter::motion(int x, int y) {
  line("motion %d %d\n", x, y);
}

void DemoWriter::reshape(int width, int height) {
  line("reshape %d %d\n", width, height);
}

void DemoWriter::idle() {
  line("idle\n");
}

void DemoWriter::frame(std::uint64_t checksum) {
  if (fd_ < 0) return;
  line("frame %d %016" PRIx64 "\n", frames_ + 1, checksum);
  if (writeOut()) ++frames_;
}

bool DemoWriter::finish(std::uint64_t pictureHash, std::string& error) {
  if (fd_ < 0 && !failed_) return false;  // never opened, or finished already
  if (fd_ >= 0) {
    line("end %d %016" PRIx64 "\n", frames_, pictureHash);
    if (writeOut()) {
      const int fd = fd_;
      fd_ = -1;
      if (::close(fd) != 0) fail(std::strerror(errno));
    }
  }
  if (failed_) {
    error = path_ + ": cannot write the demo: " + failure_;
    failureReported_ = true;
  }
  return !failed_;
}

void DemoWriter::abandon() {
  pending_.clear();
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool DemoWriter::failed(std::string& error) {
  if (!failed_ || failureReported_) return false;
  failureReported_ = true;
  error = path_ + ": cannot write the demo: " + failure_;
  return true;
}

}  // namespace brambleshot
