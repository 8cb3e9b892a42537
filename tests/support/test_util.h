// Helpers for tests that work with real files and real processes.
#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace testenv {

// A fresh directory under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Points XDG_DATA_HOME at a private folder for the whole test binary (and the games it starts),
// so that no test reads or writes the user's best scores.
void usePrivateDataHome();

void writeFile(const std::filesystem::path& path, const std::string& bytes);
std::string readFile(const std::filesystem::path& path);

// Runs fn and returns what it printed on standard output.
std::string captureStdout(const std::function<void()>& fn);

// A stream kept in memory, for code that reports to a FILE*.
struct MemoryStream {
  char* bytes = nullptr;
  std::size_t size = 0;
  std::FILE* stream = open_memstream(&bytes, &size);
  ~MemoryStream();
  std::string text();  // everything written so far
};

struct ProcessResult {
  int exitCode = -1;   // exit status, or -1 if killed by a signal or the time limit
  std::string output;  // standard output and standard error, interleaved
};

// Runs program with args in workingDirectory, ending it after timeoutSeconds (whole seconds).
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::filesystem::path& workingDirectory, unsigned timeoutSeconds);

// A BMP file's bytes: 54-byte header, then the pixel bytes as given (B, G, R, bottom row first).
// planes and bitsPerPixel are written as given so tests can make broken files.
std::string bmpBytes(int width, int height, const std::string& pixelBytes, unsigned planes = 1,
                     unsigned bitsPerPixel = 24);

// RUN_ALL_TESTS, failing the run if a test ends the program early (the game's exit on 'q').
int runAllTests();

// The repository's root (where Resources/ lives).
std::filesystem::path sourceDir();

}  // namespace testenv
