// Temporary folders, file helpers and a child process runner with a hard time limit.
#include "support/test_util.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testenv {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "brambleshot-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void usePrivateDataHome() {
  static TempDir dataHome;
  setenv("XDG_DATA_HOME", dataHome.path().c_str(), 1);
}

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string captureStdout(const std::function<void()>& fn) {
  std::fflush(stdout);
  ::testing::internal::CaptureStdout();
  fn();
  std::fflush(stdout);
  return ::testing::internal::GetCapturedStdout();
}

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::filesystem::path& workingDirectory, double timeoutSeconds) {
  ProcessResult result;
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return result;
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(pipeFds[1], STDOUT_FILENO);
    dup2(pipeFds[1], STDERR_FILENO);
    close(pipeFds[0]);
    close(pipeFds[1]);
    if (chdir(workingDirectory.c_str()) != 0) _exit(126);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args)
      argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(pipeFds[1]);
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
  char buffer[4096];
  bool open = true;
  while (open) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      result.timedOut = true;
      kill(pid, SIGKILL);
      break;
    }
    pollfd fd{pipeFds[0], POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(left.count())) > 0) {
      const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
      if (n <= 0)
        open = false;
      else
        result.output.append(buffer, static_cast<std::size_t>(n));
    }
  }
  close(pipeFds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return result;
}

std::string bmpBytes(int width, int height, const std::string& pixelBytes, unsigned planes,
                     unsigned bitsPerPixel) {
  std::string bytes(54, '\0');
  auto put32 = [&bytes](std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
      bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xff);
  };
  auto put16 = [&bytes](std::size_t at, unsigned value) {
    bytes[at] = static_cast<char>(value & 0xff);
    bytes[at + 1] = static_cast<char>((value >> 8) & 0xff);
  };
  bytes[0] = 'B';
  bytes[1] = 'M';
  put32(2, static_cast<std::uint32_t>(54 + pixelBytes.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(width));
  put32(22, static_cast<std::uint32_t>(height));
  put16(26, planes);
  put16(28, bitsPerPixel);
  put32(34, static_cast<std::uint32_t>(pixelBytes.size()));
  return bytes + pixelBytes;
}

std::filesystem::path sourceDir() {
  return BRAMBLESHOT_SOURCE_DIR;
}

}  // namespace testenv
