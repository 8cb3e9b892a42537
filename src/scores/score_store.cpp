// The score file: strict reading, atomic replacement and the lock shared by concurrent games.
#include "scores/score_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <thread>

namespace brambleshot {

namespace fs = std::filesystem;

namespace {

constexpr int kLockTries = 200;     // 10 ms apart: another game holds the lock for a moment only
constexpr int kTemporaryNames = 8;  // scores.tmp, scores.tmp.1, ...: folders in the way are passed
constexpr long kMaxAsideTries = 1000000;  // only a broken file system says EEXIST this often

ssize_t systemWrite(int fd, const void* bytes, std::size_t count) {
  return ::write(fd, bytes, count);
}
int systemFsync(int fd) {
  return ::fsync(fd);
}
int systemRename(const char* from, const char* to) {
  return std::rename(from, to);
}
// A rename that fails with EEXIST rather than replace what is at `to`. Where the file system
// cannot rename that way, a hard link does the same: it never replaces a name either.
// (The browser's file system has neither; there the tab is the file's only writer, so a name
// found free stays free until the rename.)
int systemMoveAside(const char* from, const char* to) {
#if defined(RENAME_NOREPLACE)
  if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return -1;
  if (::link(from, to) != 0) return -1;
  return ::unlink(from);
#else
  struct stat taken;
  if (::lstat(to, &taken) == 0) {
    errno = EEXIST;
    return -1;
  }
  return std::rename(from, to);
#endif
}

std::string errorText(int error) {
  return std::strerror(error);
}

}  // namespace

const ScoreFileCalls kSystemScoreFileCalls = {systemWrite, systemFsync, systemRename,
                                              systemMoveAside};

std::string scoreFolder(const char* xdgDataHome, const char* home) {
  if (xdgDataHome && xdgDataHome[0] == '/') return (fs::path(xdgDataHome) / "brambleshot").string();
  if (home && home[0] == '/') return (fs::path(home) / ".local" / "share" / "brambleshot").string();
  return {};
}

std::string ScoreStore::filePath() const {
  return (fs::path(folder_) / "scores").string();
}

std::string noScoreFolderReason(const char* xdgDataHome, const char* home) {
  const bool haveXdg = xdgDataHome && xdgDataHome[0] != '\0';
  const bool haveHome = home && home[0] != '\0';
  if (!haveXdg && !haveHome) return "no home directory (neither HOME nor XDG_DATA_HOME is set)";
  const auto says = [](const char* name, const char* value) {
    return value && value[0] != '\0' ? std::string(name) + " is the relative path \"" + value + "\""
                                     : std::string(name) + " is not set";
  };
  return "no usable home directory (" + says("HOME", home) + ", " +
         says("XDG_DATA_HOME", xdgDataHome) + ")";
}

ScoreEntry finishedGame(int score, int kills, std::time_t when) {
  // The file holds four-digit years: a clock beyond them gives the nearest date it can hold.
  constexpr ScoreEntry kFirst{0, 0, kFirstScoreYear, 1, 1}, kLast{0, 0, kLastScoreYear, 12, 31};
  std::tm local{};
  ScoreEntry date = when < 0 ? kFirst : kLast;  // localtime_r fails only far from today
  if (localtime_r(&when, &local) != nullptr) {
    const long long year = static_cast<long long>(local.tm_year) + 1900;
    if (year < kFirstScoreYear)
      date = kFirst;
    else if (year > kLastScoreYear)
      date = kLast;
    else
      date = {0, 0, static_cast<int>(year), local.tm_mon + 1, local.tm_mday};
  }
  return {score, kills, date.year, date.month, date.day};
}

ScoreStore::~ScoreStore() {
  if (lockFd_ >= 0) ::close(lockFd_);
}

void ScoreStore::report(const std::string& line) {
  std::fprintf(errors_, "brambleshot: %s\n", line.c_str());
  std::fflush(errors_);
}

void ScoreStore::openInHome(const char* xdgDataHome, const char* home, std::FILE* errors) {
  const std::string folder = scoreFolder(xdgDataHome, home);
  if (!folder.empty()) return open(folder, errors);
  open(folder, errors, noScoreFolderReason(xdgDataHome, home));
}

void ScoreStore::open(const std::string& folder, std::FILE* errors, const std::string& noFolder) {
  errors_ = errors;
  folder_ = folder;
  table_ = {};
  saving_ = false;
  if (folder.empty()) {
    report(noFolder + ": best scores are not saved");
    return;
  }
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) {
    report("cannot create " + folder + " (" + error.message() + "): best scores are not saved");
    return;
  }
  saving_ = true;
  if (const std::string reason = lock(); !reason.empty()) {
    report("cannot lock the best scores in " + folder + " (" + reason + "): they are not saved");
    saving_ = false;
  }
  readFile(table_);
  unlock();
}

int ScoreStore::record(const ScoreEntry& entry) {
  if (!saving_) return table_.insert(entry);
  if (const std::string reason = lock(); !reason.empty()) {
    report("cannot lock the best scores in " + folder_ + " (" + reason +
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

std::string ScoreStore::lock() {
  if (lockFd_ < 0) {
    // Never through a link, and never waiting on a pipe someone put in its place.
    const int fd = ::open((fs::path(folder_) / "scores.lock").c_str(),
                          O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) return errorText(errno);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
      ::close(fd);
      return "not a regular file";
    }
    lockFd_ = fd;
  }
  for (int attempt = 0; attempt < kLockTries; ++attempt) {
    if (::flock(lockFd_, LOCK_EX | LOCK_NB) == 0) return {};
    if (errno != EWOULDBLOCK && errno != EINTR) return errorText(errno);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return errorText(EWOULDBLOCK);
}

void ScoreStore::unlock() {
  if (lockFd_ >= 0) ::flock(lockFd_, LOCK_UN);
}

void ScoreStore::readFile(ScoreTable& table) {
  table = {};
  const std::string path = filePath();
  // Non-blocking, so that a pipe or device put in the file's place cannot hang the game, and
  // never through a link: the save replaces the name, which would cut the link, not update
  // what it points to.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
  if (fd < 0 && errno == ENOENT) return;  // no games finished yet
  std::string failure;                    // the bytes could not be had
  std::string damage;                     // they were had, and are no table
  if (fd < 0) {
    failure = errorText(errno);
  } else {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
      failure = errorText(errno);
    } else if (!S_ISREG(info.st_mode)) {
      failure = "not a regular file";
    } else {
      char buffer[kMaxScoreFileBytes + 1];
      std::size_t size = 0;
      while (size < sizeof buffer) {
        const ssize_t n = ::read(fd, buffer + size, sizeof buffer - size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) failure = errorText(errno);
        if (n <= 0) break;
        size += static_cast<std::size_t>(n);
      }
      if (failure.empty() && !parseScoreTable(std::string_view(buffer, size), table))
        damage = size > kMaxScoreFileBytes ? "too large" : "not a best-score table";
    }
    ::close(fd);
  }
  if (!failure.empty()) {
    // Nothing says the table is bad: it stays as it is, and an empty table written over it
    // would lose it, so this run saves nothing.
    table = {};
    report(path + " cannot be read (" + failure + "): left as it is, best scores are not saved");
    saving_ = false;
    return;
  }
  if (damage.empty()) return;

  // Damaged: keep it aside for whoever wants to look, and start afresh.
  table = {};
  if (!saving_) {
    report(path + " cannot be read (" + damage + "): best scores start afresh");
    return;
  }
  // A copy never replaces an earlier one, however many turn up within a second.
  const std::string stem = path + ".damaged-" + std::to_string(std::time(nullptr));
  std::string aside = stem;
  int moved = calls.moveAside(path.c_str(), aside.c_str());
  for (long n = 1; moved != 0 && errno == EEXIST && n < kMaxAsideTries; ++n) {
    aside = stem + "-" + std::to_string(n);
    moved = calls.moveAside(path.c_str(), aside.c_str());
  }
  if (moved != 0) {
    report(path + " cannot be read (" + damage + ") nor moved aside (" + errorText(errno) +
           "): best scores are not saved");
    saving_ = false;
    return;
  }
  report(path + " cannot be read (" + damage + "): kept as " + aside +
         ", best scores start afresh");
}

// Creates the temporary file for a save. Only the lock's holder writes, so whatever bears a
// temporary name is left from a game that died mid-save: it is unlinked (a link, pipe or file,
// never followed) and the name made afresh with O_EXCL, which never opens what is already there.
// Something that cannot be unlinked (a folder) is passed by for the next name.
int ScoreStore::createTemporary(std::string& name) {
  for (int n = 0; n < kTemporaryNames; ++n) {
    name =
        (fs::path(folder_) / (n == 0 ? "scores.tmp" : "scores.tmp." + std::to_string(n))).string();
    ::unlink(name.c_str());
    const int fd = ::open(name.c_str(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

bool ScoreStore::writeFile(const ScoreTable& table) {
  const std::string path = filePath();
  const std::string text = formatScoreTable(table);
  std::string temporary;
  const int fd = createTemporary(temporary);
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
    if (fd >= 0) ::unlink(temporary.c_str());
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
