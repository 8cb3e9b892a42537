// The score file: strict reading, atomic replacement and the lock shared by concurrent games.
#include "scores/score_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace brambleshot {

namespace fs = std::filesystem;

namespace {

constexpr int kLockTries = 200;  // 10 ms apart: another game holds the lock for a moment only

ssize_t systemWrite(int fd, const void* bytes, std::size_t count) {
  return ::write(fd, bytes, count);
}
int systemFsync(int fd) {
  return ::fsync(fd);
}
int systemRename(const char* from, const char* to) {
  return std::rename(from, to);
}

std::string errorText(int error) {
  return std::strerror(error);
}

}  // namespace

const ScoreFileCalls kSystemScoreFileCalls = {systemWrite, systemFsync, systemRename};

fs::path scoreFolder(const char* xdgDataHome, const char* home) {
  if (xdgDataHome && xdgDataHome[0] == '/') return fs::path(xdgDataHome) / "brambleshot";
  if (home && home[0] == '/') return fs::path(home) / ".local" / "share" / "brambleshot";
  return {};
}

ScoreEntry finishedGame(int score, int kills, std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  return {score, kills, local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

ScoreStore::~ScoreStore() {
  if (lockFd_ >= 0) ::close(lockFd_);
}

void ScoreStore::report(const std::string& line) {
  std::fprintf(errors_, "brambleshot: %s\n", line.c_str());
  std::fflush(errors_);
}

void ScoreStore::open(const fs::path& folder, std::FILE* errors) {
  errors_ = errors;
  folder_ = folder;
  table_ = {};
  saving_ = false;
  if (folder.empty()) {
    report("no home directory (neither HOME nor XDG_DATA_HOME is set): best scores are not saved");
    return;
  }
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) {
    report("cannot create " + folder.string() + " (" + error.message() +
           "): best scores are not saved");
    return;
  }
  saving_ = true;
  if (!lock()) {
    report("cannot lock the best scores in " + folder.string() + " (" + errorText(errno) +
           "): they are not saved");
    saving_ = false;
  }
  readFile(table_);
  unlock();
}

int ScoreStore::record(const ScoreEntry& entry) {
  if (!saving_) return table_.insert(entry);
  if (!lock()) {
    report("cannot lock the best scores in " + folder_.string() + " (" + errorText(errno) +
           "): this score is not saved");
    return table_.insert(entry);
  }
  // Other games may have written since this one read the table.
  ScoreTable merged;
  readFile(merged);
  int row = -1;
  if (saving_) {
    row = merged.insert(entry);
    if (row >= 0) writeFile(merged);
    table_ = std::move(merged);
  } else {
    row = table_.insert(entry);
  }
  unlock();
  return row;
}

bool ScoreStore::lock() {
  if (lockFd_ < 0) {
    lockFd_ = ::open((folder_ / "scores.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lockFd_ < 0) return false;
  }
  for (int attempt = 0; attempt < kLockTries; ++attempt) {
    if (::flock(lockFd_, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  errno = EWOULDBLOCK;
  return false;
}

void ScoreStore::unlock() {
  if (lockFd_ >= 0) ::flock(lockFd_, LOCK_UN);
}

void ScoreStore::readFile(ScoreTable& table) {
  table = {};
  const std::string path = filePath().string();
  std::string reason;
  // Non-blocking, so that a pipe or device put in the file's place cannot hang the game.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    if (errno == ENOENT) return;  // no games finished yet
    reason = errorText(errno);
  } else {
    struct stat info {};
    std::string text;
    if (::fstat(fd, &info) != 0) {
      reason = errorText(errno);
    } else if (!S_ISREG(info.st_mode)) {
      reason = "not a regular file";
    } else {
      char buffer[kMaxScoreFileBytes + 1];
      std::size_t size = 0;
      while (size < sizeof buffer) {
        const ssize_t n = ::read(fd, buffer + size, sizeof buffer - size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) reason = errorText(errno);
        if (n <= 0) break;
        size += static_cast<std::size_t>(n);
      }
      if (reason.empty() && !parseScoreTable(std::string_view(buffer, size), table))
        reason = size > kMaxScoreFileBytes ? "too large" : "not a best-score table";
    }
    ::close(fd);
  }
  if (reason.empty()) return;

  // Damaged or unreadable: keep it aside for whoever wants to look, and start afresh.
  table = {};
  if (!saving_) {
    report(path + " cannot be read (" + reason + "): best scores start afresh");
    return;
  }
  std::string aside = path + ".damaged-" + std::to_string(std::time(nullptr));
  std::error_code ignored;
  for (int n = 1; fs::exists(aside, ignored) && n < 100; ++n)
    aside = path + ".damaged-" + std::to_string(std::time(nullptr)) + "-" + std::to_string(n);
  if (calls.rename(path.c_str(), aside.c_str()) != 0) {
    report(path + " cannot be read (" + reason + ") nor moved aside (" + errorText(errno) +
           "): best scores are not saved");
    saving_ = false;
    return;
  }
  report(path + " cannot be read (" + reason + "): kept as " + aside +
         ", best scores start afresh");
}

bool ScoreStore::writeFile(const ScoreTable& table) {
  const std::string path = filePath().string();
  const std::string temporary = (folder_ / "scores.tmp").string();
  const std::string text = formatScoreTable(table);
  // Only the lock's holder writes, so one temporary name serves every game.
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  int error = fd < 0 ? errno : 0;
  std::size_t written = 0;
  while (error == 0 && written < text.size()) {
    const ssize_t n = calls.write(fd, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      error = n < 0 ? errno : EIO;
    else
      written += static_cast<std::size_t>(n);
  }
  if (error == 0 && calls.fsync(fd) != 0) error = errno;
  if (fd >= 0 && ::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && calls.rename(temporary.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());
    report("cannot save the best scores in " + path + " (" + errorText(error) + ")");
    return false;
  }
  // The rename itself reaches the disk with the folder.
  const int folderFd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd >= 0) {
    calls.fsync(folderFd);
    ::close(folderFd);
  }
  return true;
}

}  // namespace brambleshot
