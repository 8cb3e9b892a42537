// The best scores on disk, shared safely by every game of the same user.
//
// The table lives in one small text file, replaced as a whole: written to a temporary file that
// this save alone created (never through a link, never an old file), synced, then renamed over
// the old one, so a crash or a full disk leaves either the old table or the new one. Games that
// end at once take turns through a lock file and each merges its entry into what the others
// wrote. A file whose bytes are not a table is moved aside, never overwritten; a file that cannot
// be read at all (no permission, no descriptors left, a pipe or folder in its place) is left as
// it is, and that run saves nothing. Every problem is one line on the error stream; the game
// goes on.
#pragma once

#include <sys/types.h>

#include <cstdio>
#include <ctime>
#include <string>

#include "scores/score_table.h"

namespace brambleshot {

// The scores' folder: $XDG_DATA_HOME/brambleshot, or $HOME/.local/share/brambleshot when
// XDG_DATA_HOME is unset, empty or relative. Empty when neither gives an absolute path.
std::string scoreFolder(const char* xdgDataHome, const char* home);
// Why scoreFolder found none, in words for the player.
std::string noScoreFolderReason(const char* xdgDataHome, const char* home);

// A finished game's entry, dated with the local date of `when`; a date outside the years the
// file holds becomes the first or last day it does hold.
ScoreEntry finishedGame(int score, int kills, std::time_t when);

// The system calls that write the file and move it aside, replaceable so that tests can make
// them fail.
struct ScoreFileCalls {
  ssize_t (*write)(int fd, const void* bytes, std::size_t count);
  int (*fsync)(int fd);
  int (*rename)(const char* from, const char* to);
  // Renames unless `to` exists (then fails with EEXIST): how a damaged file is kept aside.
  int (*moveAside)(const char* from, const char* to);
};
extern const ScoreFileCalls kSystemScoreFileCalls;

class ScoreStore {
 public:
  ScoreStore() = default;
  ~ScoreStore();
  ScoreStore(const ScoreStore&) = delete;
  ScoreStore& operator=(const ScoreStore&) = delete;

  // Reads the table kept in folder (created if missing). Without a folder, or where the folder
  // cannot be created or written, the game plays on and keeps its scores for this run only.
  // An empty folder means there is none; noFolder says why.
  void open(const std::string& folder, std::FILE* errors = stderr,
            const std::string& noFolder = noScoreFolderReason(nullptr, nullptr));
  // Opens the folder scoreFolder finds in these variables, or says why there is none.
  void openInHome(const char* xdgDataHome, const char* home, std::FILE* errors = stderr);

  // Enters a finished game: under the lock, reads the table afresh, merges the entry and writes
  // the result. Returns the entry's row in the table now shown, or -1 if it did not make it.
  int record(const ScoreEntry& entry);

  const ScoreTable& table() const { return table_; }
  bool saving() const { return saving_; }
  std::string filePath() const;

  ScoreFileCalls calls = kSystemScoreFileCalls;

 private:
  // Empty when locked, else why not.
  std::string lock();
  void unlock();
  // Reads the file into table. A damaged file is moved aside (saving stops if it cannot be); a
  // file that cannot be read stops saving.
  void readFile(ScoreTable& table);
  int createTemporary(std::string& name);
  bool writeFile(const ScoreTable& table);
  void report(const std::string& line);

  std::string folder_;
  std::FILE* errors_ = stderr;
  ScoreTable table_;
  bool saving_ = false;
  int lockFd_ = -1;
};

}  // namespace brambleshot
