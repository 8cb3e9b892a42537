// Temporary folders, file helpers and a child process runner with a time limit.
#include "support/test_util.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
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
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string captureStdout(const std::function<void()>& fn) {
  std::fflush(stdout);
  ::testing::internal::CaptureStdout();
  fn();
  std::fflush(stdout);
  return ::testing::internal::GetCapturedStdout();
}

MemoryStream::~MemoryStream() {
  std::fclose(stream);
  std::free(bytes);
}

std::string MemoryStream::text() {
  std::fflush(stream);
  return {bytes, size};
}

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::filesystem::path& workingDirectory, unsigned timeoutSeconds) {
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
    alarm(timeoutSeconds);  // the limit outlives exec: SIGALRM ends the program
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args)
      argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(pipeFds[1]);
  char buffer[4096];
  for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
    result.output.append(buffer, static_cast<std::size_t>(n));
  close(pipeFds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  return result;
}

std::string bmpBytes(int width, int height, const std::string& pixelBytes, unsigned planes,
                     unsigned bitsPerPixel) {
  std::string bytes = "BM" + std::string(52, '\0');
  auto put = [&bytes](std::size_t at, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
      bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xff);
  };
  put(2, static_cast<std::uint32_t>(54 + pixelBytes.size()), 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, static_cast<std::uint32_t>(width), 4);
  put(22, static_cast<std::uint32_t>(height), 4);
  put(26, planes, 2);
  put(28, bitsPerPixel, 2);
  put(34, static_cast<std::uint32_t>(pixelBytes.size()), 4);
  return bytes + pixelBytes;
}

std::filesystem::path sourceDir() {
  return BRAMBLESHOT_SOURCE_DIR;
}

namespace {
pid_t testProcess = 0;
bool testsFinished = false;

// The game's quit path ends the program with exit(0): a test that reaches it must fail the run,
// not end it as a pass. Children that tests start, death tests among them, end as they please.
void failEarlyExit() {
  if (testsFinished || getpid() != testProcess || ::testing::internal::InDeathTestChild()) return;
  std::fputs("tests: the program exited in the middle of a test\n", stderr);
  std::fflush(stderr);
  std::_Exit(1);
}
}  // namespace

int runAllTests() {
  testProcess = getpid();
  std::atexit(failEarlyExit);
  const int result = RUN_ALL_TESTS();
  testsFinished = true;
  return result;
}

}  // namespace testenv
