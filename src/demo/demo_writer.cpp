// Writing a demo as the game goes.
#include <cerrno>
#include <cinttypes>
#include <cstdarg>
#include <cstring>

#include "demo/demo.h"

namespace brambleshot {

DemoWriter::~DemoWriter() {
  if (file_) std::fclose(file_);
}

bool DemoWriter::open(const std::string& path, std::uint32_t seed, int windowWidth,
                      int windowHeight, std::string& error) {
  file_ = std::fopen(path.c_str(), "w");
  if (!file_) {
    error = path + ": cannot write the demo: " + std::strerror(errno);
    return false;
  }
  path_ = path;
  line("%s %d\n", kDemoFormat, kDemoVersion);
  line("game %s\n", BRAMBLESHOT_VERSION);
  line("seed %" PRIu32 "\n", seed);
  line("window %d %d\n", windowWidth, windowHeight);
  if (std::fflush(file_) != 0 && !failed_) {
    failed_ = true;
    failureErrno_ = errno;
  }
  if (failed_) {
    error = path + ": cannot write the demo: " + std::strerror(failureErrno_);
    std::fclose(file_);
    file_ = nullptr;
    return false;
  }
  return true;
}

void DemoWriter::line(const char* format, ...) {
  if (!file_ || failed_) return;
  std::va_list args;
  va_start(args, format);
  const int written = std::vfprintf(file_, format, args);
  va_end(args);
  if (written < 0) {
    failed_ = true;
    failureErrno_ = errno;
  }
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
  if (!file_ || failed_) return;
  ++frames_;
  line("frame %d %016" PRIx64 "\n", frames_, checksum);
  if (!failed_ && std::fflush(file_) != 0) {
    failed_ = true;
    failureErrno_ = errno;
  }
}

bool DemoWriter::finish(std::uint64_t pictureHash, std::string& error) {
  if (!file_) return false;
  line("end %d %016" PRIx64 "\n", frames_, pictureHash);
  if (std::fclose(file_) != 0 && !failed_) {
    failed_ = true;
    failureErrno_ = errno;
  }
  file_ = nullptr;
  if (failed_) error = path_ + ": cannot write the demo: " + std::strerror(failureErrno_);
  return !failed_;
}

bool DemoWriter::failed(std::string& error) {
  if (!failed_ || failureReported_) return false;
  failureReported_ = true;
  error = path_ + ": cannot write the demo: " + std::strerror(failureErrno_);
  return true;
}

}  // namespace brambleshot
