// Best scores: the table and its strict text, the dates the clock gives, and the score file on a
// real file system (links, pipes, folders, failed saves, damaged files, concurrent games).
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <limits>
#include <new>
#include <string>
#include <tuple>

#include "scores/score_store.h"
#include "support/test_util.h"

namespace {

namespace fs = std::filesystem;
using brambleshot::ScoreEntry;
using brambleshot::ScoreStore;
using brambleshot::ScoreTable;

const std::string kHeader = "brambleshot scores 1\n";
const std::string kOldTable = kHeader + "900 5 2026-12-01\n300 2 2026-12-02\n";

ScoreEntry entry(int score, int kills = 1) {
  return {score, kills, 2026, 12, 7};
}

int lines(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST(ScoreTable, FinishedGamesLandByScoreAndTiesGoBelowOlderEntries) {
  ScoreTable table;
  EXPECT_EQ(table.insert(entry(-150)), 0);  // a negative score still makes an empty table
  EXPECT_EQ(table.insert(entry(400)), 0);
  EXPECT_EQ(table.insert(entry(400, 9)), 1);  // a tie ranks below the earlier game
  EXPECT_EQ(table.insert(entry(0)), 2);
  EXPECT_EQ(table.entries,
            (std::vector<ScoreEntry>{entry(400), entry(400, 9), entry(0), entry(-150)}));

  for (int score : {900, 800, 700, 600, 500, 300})
    table.insert(entry(score));
  ASSERT_EQ(table.entries.size(), 10u);
  EXPECT_EQ(table.insert(entry(-150)), -1);  // equal to the last: the older entry stays
  EXPECT_EQ(table.insert(entry(1)), 8);      // pushes the last one out
  EXPECT_EQ(table.entries.size(), 10u);
  EXPECT_EQ(table.entries.back().score, 0);
}

// The reader takes back exactly what the writer writes, extremes and leap days included, and
// refuses anything else, leaving an empty table.
TEST(ScoreTable, TheTextReadsBackExactlyAndAnythingElseIsRefused) {
  for (const std::string& text :
       {kHeader, kHeader + "2147483647 2147483647 9999-12-31\n0 0 2024-02-29\n"
                           "-2147483648 3 0000-01-01\n"}) {
    ScoreTable read;
    EXPECT_TRUE(brambleshot::parseScoreTable(text, read)) << text;
    EXPECT_EQ(brambleshot::formatScoreTable(read), text);
  }
  std::string eleven = kHeader;
  for (int i = 0; i < 11; ++i)
    eleven += "100 1 2026-12-07\n";
  const std::string refused[] = {
      "",
      "brambleshot scores 2\n",
      kHeader + "100 1 2026-12-07",  // cut short
      kHeader + "100 1 2026-12-07\r\n",
      kHeader + "100  1 2026-12-07\n",
      kHeader + "100 -1 2026-12-07\n",  // kills are never negative
      kHeader + "2147483648 1 2026-12-07\n",
      kHeader + "100 1 2025-02-29\n",  // not a leap year
      kHeader + "100 1 1900-02-29\n",  // nor is a century
      kHeader + "100 1 -001-01-01\n",
      kHeader + "100 1 2026-13-01\n",
      kHeader + "100 1 2026-04-31\n",
      kHeader + "100 1 2026-12-07\n200 1 2026-12-07\n",  // out of order
      kHeader + std::string("100 1 2026-12-07\0\n", 18),
      eleven,
  };
  for (const std::string& text : refused) {
    SCOPED_TRACE(text);
    ScoreTable table;
    table.entries = {entry(5)};
    EXPECT_FALSE(brambleshot::parseScoreTable(text, table));
    EXPECT_TRUE(table.entries.empty());
  }
}

// Whatever date the clock gives, its entry reads back: a clock just before 1970 west of
// Greenwich, leap centuries, and years past four digits, which become the nearest day held.
TEST(ScoreTable, EveryDateTheClockGivesReadsBack) {
  const char* const savedZone = std::getenv("TZ");
  const std::string saved = savedZone ? savedZone : "";
  const auto utc = [](int year, int month, int day, int hour = 12) {
    std::tm t{};
    t.tm_year = year - 1900, t.tm_mon = month - 1, t.tm_mday = day, t.tm_hour = hour;
    return timegm(&t);
  };
  // The zone, the clock, and the date entered.
  const std::tuple<const char*, std::time_t, int, int, int> cases[] = {
      {"XST5", -1, 1969, 12, 31},  // five hours west of UTC, a second before the epoch
      {"UTC0", utc(2000, 2, 29), 2000, 2, 29},
      {"UTC0", utc(0, 2, 29), 0, 2, 29},
      {"UTC0", utc(0, 1, 1, 0) - 1, 0, 1, 1},  // year -1
      {"UTC0", utc(9999, 3, 1), 9999, 3, 1},
      {"UTC0", utc(9999, 12, 31, 23) + 3600, 9999, 12, 31},  // year 10000
      {"UTC0", std::numeric_limits<std::time_t>::max(), 9999, 12, 31},
      {"UTC0", std::numeric_limits<std::time_t>::min(), 0, 1, 1},
  };
  for (const auto& [zone, when, year, month, day] : cases) {
    SCOPED_TRACE(std::string(zone) + " " + std::to_string(when));
    setenv("TZ", zone, 1);
    tzset();
    ScoreTable table, read;
    table.insert(brambleshot::finishedGame(100, 1, when));
    EXPECT_EQ(table.entries[0], (ScoreEntry{100, 1, year, month, day}));
    EXPECT_TRUE(brambleshot::parseScoreTable(brambleshot::formatScoreTable(table), read));
    EXPECT_EQ(read.entries, table.entries);
  }
  savedZone ? setenv("TZ", saved.c_str(), 1) : unsetenv("TZ");
  tzset();
}

class ScoreFile : public ::testing::Test {
 protected:
  enum Kind { kLink, kDanglingLink, kPipe, kFolder };

  fs::path folder() const { return dir / "brambleshot"; }
  fs::path file() const { return folder() / "scores"; }
  void writeOld() {
    fs::create_directories(folder());
    testenv::writeFile(file(), kOldTable);
  }
  // Puts something other than a plain file where the store reads, locks or writes.
  std::function<void()> put(const char* name, Kind kind) {
    return [this, name, kind] {
      const fs::path place = folder() / name;
      fs::remove(place);
      if (kind == kLink || kind == kDanglingLink)
        fs::create_symlink(dir / (kind == kLink ? "victim" : "nowhere"), place);
      if (kind == kPipe && mkfifo(place.c_str(), 0644) != 0) ADD_FAILURE() << "mkfifo " << place;
      if (kind == kFolder) fs::create_directory(place);
    };
  }
  // Every file in the folder other than the table and its lock.
  std::vector<std::string> strayFiles() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder()))
      if (const auto name = e.path().filename(); name != "scores" && name != "scores.lock")
        names.push_back(name.string());
    std::sort(names.begin(), names.end());
    return names;
  }

  testenv::TempDir dir;
};

using Hook = std::function<void(ScoreStore&)>;

// What a game saw of its store: opened on a folder, then a game of 600 points recorded.
struct GameSeen {
  bool ran = false;  // false if it ended early or blocked for 10 s
  bool savingAtStart = false, savingAtEnd = false;
  int row = -2;
  std::size_t shown = 0;  // rows of the table the game showed
  char errors[2048] = {};
};

// Plays that game in a child process, where the hooks may lower its limits or drop it to nobody.
GameSeen playInChild(const fs::path& folder, const Hook& beforeOpen, const Hook& beforeRecord) {
  void* const shared =
      mmap(nullptr, sizeof(GameSeen), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  if (shared == MAP_FAILED) return {};
  auto* seen = new (shared) GameSeen;
  const pid_t child = fork();
  if (child == 0) {
    alarm(10);
    testenv::MemoryStream errors;
    ScoreStore store;
    beforeOpen(store);
    store.open(folder, errors.stream);
    seen->savingAtStart = store.saving();
    beforeRecord(store);
    seen->row = store.record(entry(600));
    seen->savingAtEnd = store.saving();
    seen->shown = store.table().entries.size();
    std::snprintf(seen->errors, sizeof seen->errors, "%s", errors.text().c_str());
    seen->ran = true;
    _exit(0);
  }
  waitpid(child, nullptr, 0);
  const GameSeen result = *seen;
  munmap(shared, sizeof(GameSeen));
  return result;
}

void nothing(ScoreStore&) {}

// Root reads and writes anything: where permissions are tested, root's child runs as nobody.
void asNobody(ScoreStore&) {
  if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
}

// Lowers the descriptor limit to the descriptors open now: the next open fails with EMFILE.
void useUpDescriptors(ScoreStore&) {
  const int next = dup(0);
  close(next);
  const rlimit limit{static_cast<rlim_t>(next), static_cast<rlim_t>(next)};
  setrlimit(RLIMIT_NOFILE, &limit);
}

int failWith(int error) {
  errno = error;
  return -1;
}

// Whatever is in the way, the game never hangs, always shows its entry with the table it could
// read, says each problem once, never writes through a link, and never loses the old table: a
// stale temporary file is cleared and the save goes on; a lock or table that is not a plain file,
// or a table that cannot be read, stops saving and is left as it is; a failed save keeps the old.
TEST_F(ScoreFile, WhateverIsInTheWayTheGamePlaysOnAndTheOldTableSurvives) {
  const auto unreadable = [this] {
    fs::permissions(file(), fs::perms::none);
    if (geteuid() == 0) {
      ASSERT_EQ(chown(folder().c_str(), 65534, 65534), 0);
    }
  };
  const auto readOnly = [this] {
    fs::permissions(folder(), fs::perms::owner_write, fs::perm_options::remove);
  };
  const Hook fullDisk = [](ScoreStore&) {  // writes past 20 bytes fail
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{20, 20};
    setrlimit(RLIMIT_FSIZE, &limit);
  };
  const Hook failedFsync = [](ScoreStore& s) { s.calls.fsync = [](int) { return failWith(EIO); }; };
  const Hook failedRename = [](ScoreStore& s) {
    s.calls.rename = [](const char*, const char*) { return failWith(EXDEV); };
  };
  // Saving on at the start and at the end, and whether the entry reached the file.
  enum Saving { kSaves, kOff, kTurnsOff, kSaveFails };
  const struct {
    std::function<void()> arrange;
    Hook beforeOpen, beforeRecord;
    Saving saving;
    bool read;                      // the old table was read
    std::vector<std::string> says;  // a part of each error line
    std::vector<std::string> stray = {};
  } cases[] = {
      {put("scores.tmp", kLink), nothing, nothing, kSaves, true, {}},
      {put("scores.tmp", kDanglingLink), nothing, nothing, kSaves, true, {}},
      {put("scores.tmp", kPipe), nothing, nothing, kSaves, true, {}},
      {put("scores.tmp", kFolder), nothing, nothing, kSaves, true, {}, {"scores.tmp"}},
      {put("scores.lock", kLink), nothing, nothing, kOff, true, {"cannot lock the best scores"}},
      {put("scores.lock", kPipe), nothing, nothing, kOff, true, {"not a regular file"}},
      {put("scores.lock", kFolder), nothing, nothing, kOff, true, {"Is a directory"}},
      {put("scores", kLink), nothing, nothing, kOff, false, {"symbolic links): left"}},
      {put("scores", kPipe), nothing, nothing, kOff, false, {"not a regular file): left"}},
      {put("scores", kFolder), nothing, nothing, kOff, false, {"not a regular file): left"}},
      // No descriptors left at the start: the lock fails first, then the read.
      {{}, useUpDescriptors, nothing, kOff, false, {"cannot lock", "open files): left"}},
      // None left at the end: the lock is held open from the start and only the second read fails.
      {{}, nothing, useUpDescriptors, kTurnsOff, true, {"Too many open files): left"}},
      // Unreadable by its owner (as root: nobody, in a folder of its own holding root's file).
      {unreadable, asNobody, nothing, kOff, false, {"Permission denied): left"}},
      {readOnly, asNobody, nothing, kOff, true, {"cannot lock"}},
      {{}, nothing, fullDisk, kSaveFails, true, {"File too large"}},
      {{}, nothing, failedFsync, kSaveFails, true, {"Input/output"}},
      {{}, nothing, failedRename, kSaveFails, true, {"cross-device"}},
  };
  fs::permissions(dir.path(), fs::perms::others_read | fs::perms::others_exec,
                  fs::perm_options::add);
  for (const auto& c : cases) {
    SCOPED_TRACE("case " + std::to_string(&c - cases));
    fs::remove_all(folder());
    writeOld();
    testenv::writeFile(dir / "victim", kOldTable);  // a good table, to tempt the reader
    if (c.arrange) c.arrange();
    const fs::file_type kind = fs::symlink_status(file()).type();

    const GameSeen seen = playInChild(folder(), c.beforeOpen, c.beforeRecord);
    fs::permissions(folder(), fs::perms::owner_all, fs::perm_options::add);
    ASSERT_TRUE(seen.ran);
    EXPECT_EQ(seen.savingAtStart, c.saving != kOff);
    EXPECT_EQ(seen.savingAtEnd, c.saving == kSaves || c.saving == kSaveFails);
    EXPECT_EQ(seen.row, c.read ? 1 : 0);
    EXPECT_EQ(seen.shown, c.read ? 3u : 1u);
    const std::string errors = seen.errors;
    EXPECT_EQ(lines(errors), static_cast<int>(c.says.size())) << errors;
    for (const std::string& says : c.says)
      EXPECT_NE(errors.find(says), std::string::npos) << errors;
    EXPECT_EQ(testenv::readFile(dir / "victim"), kOldTable);
    EXPECT_FALSE(fs::exists(dir / "nowhere"));
    EXPECT_EQ(strayFiles(), c.stray);
    EXPECT_EQ(fs::symlink_status(file()).type(), kind);  // a link, pipe or folder stays
    if (kind == fs::file_type::regular) {
      fs::permissions(file(), fs::perms::owner_read | fs::perms::owner_write);
      EXPECT_EQ(testenv::readFile(file()),
                c.saving == kSaves
                    ? kHeader + "900 5 2026-12-01\n600 1 2026-12-07\n300 2 2026-12-02\n"
                    : kOldTable);
    }
  }
}

// A file that is not a table is renamed aside under a name no other copy has, however many were
// made in the same second; the next finished game starts a fresh table.
TEST_F(ScoreFile, ADamagedFileIsKeptAsideAndAFreshTableStarted) {
  writeOld();
  // Copies made this second and the next, in case the clock ticks meanwhile: each holds its name.
  std::vector<std::string> earlier;
  for (std::time_t second = std::time(nullptr), last = second + 1; second <= last; ++second)
    for (int n = 0; n < 120; ++n) {
      earlier.push_back("scores.damaged-" + std::to_string(second));
      if (n > 0) earlier.back().append("-").append(std::to_string(n));
      testenv::writeFile(folder() / earlier.back(), earlier.back());
    }
  const std::string bytes = "brambleshot scores 1\n900 5 2026-1";
  testenv::writeFile(file(), bytes);
  testenv::MemoryStream errors;
  ScoreStore store;
  store.open(folder(), errors.stream);
  EXPECT_TRUE(store.table().entries.empty());
  EXPECT_TRUE(store.saving());
  for (const std::string& name : earlier)
    EXPECT_EQ(testenv::readFile(folder() / name), name);
  std::vector<std::string> aside = strayFiles();
  std::erase_if(aside, [&](const std::string& name) {
    return std::find(earlier.begin(), earlier.end(), name) != earlier.end();
  });
  ASSERT_EQ(aside.size(), 1u);
  EXPECT_EQ(aside[0].rfind("scores.damaged-", 0), 0u) << aside[0];
  EXPECT_EQ(testenv::readFile(folder() / aside[0]), bytes);
  EXPECT_EQ(lines(errors.text()), 1);
  EXPECT_NE(errors.text().find(aside[0]), std::string::npos) << errors.text();
  // The next finished game starts the fresh table; the damaged copies stay.
  EXPECT_EQ(store.record(entry(100)), 0);
  EXPECT_EQ(testenv::readFile(file()), kHeader + "100 1 2026-12-07\n");
  EXPECT_EQ(strayFiles().size(), earlier.size() + 1);

  // A damaged file that cannot be moved aside is not saved over.
  testenv::writeFile(file(), bytes);
  testenv::MemoryStream stuck;
  ScoreStore next;
  next.calls.moveAside = [](const char*, const char*) { return failWith(EPERM); };
  next.open(folder(), stuck.stream);
  EXPECT_FALSE(next.saving());
  EXPECT_EQ(next.record(entry(100)), 0);
  EXPECT_EQ(testenv::readFile(file()), bytes);
  EXPECT_EQ(lines(stuck.text()), 1);
  EXPECT_NE(stuck.text().find("nor moved aside (Operation not permitted)"), std::string::npos)
      << stuck.text();
}

TEST_F(ScoreFile, WithoutAWritableFolderTheGamePlaysOnUnsaved) {
  EXPECT_EQ(brambleshot::scoreFolder("relative", "/home/p"),
            fs::path("/home/p/.local/share/brambleshot"));
  EXPECT_EQ(brambleshot::scoreFolder(nullptr, ""), fs::path());

  // No home, a relative one, and a folder that cannot be made even by root: each said as it is.
  const std::tuple<const char*, const char*, const char*> places[] = {
      {nullptr, "", "neither HOME nor XDG_DATA_HOME is set"},
      {"", "games", "HOME is the relative path \"games\", XDG_DATA_HOME is not set"},
      {"data", nullptr, "HOME is not set, XDG_DATA_HOME is the relative path \"data\""},
      {"/proc/brambleshot-test", "/", "cannot create /proc/brambleshot-test/brambleshot"},
  };
  for (const auto& [xdg, home, says] : places) {
    SCOPED_TRACE(says);
    testenv::MemoryStream errors;
    ScoreStore store;
    store.openInHome(xdg, home, errors.stream);
    EXPECT_FALSE(store.saving());
    EXPECT_EQ(store.record(entry(100)), 0);  // kept for this run
    EXPECT_EQ(store.record(entry(200)), 0);
    EXPECT_EQ(lines(errors.text()), 1) << errors.text();
    EXPECT_NE(errors.text().find(says), std::string::npos) << errors.text();
  }
}

TEST_F(ScoreFile, GamesEndingAtOnceKeepEveryEntryAndTheFileIsNeverBroken) {
  constexpr int kGames = 4, kRounds = 8;
  for (int round = 0; round < kRounds; ++round) {
    // Every game opens the table (the first make the folder); all record once the gate opens.
    int gate[2];
    ASSERT_EQ(pipe(gate), 0);
    pid_t games[kGames];
    for (int g = 0; g < kGames; ++g) {
      games[g] = fork();
      if (games[g] == 0) {
        close(gate[1]);
        ScoreStore store;
        store.open(folder(), stderr);
        char go;
        if (read(gate[0], &go, 1) != 0) _exit(2);
        _exit(store.record(entry(1000 * round + g, g)) >= 0 ? 0 : 1);
      }
    }
    close(gate[0]);
    close(gate[1]);
    // Read the file all the while: it is always a whole table.
    for (int look = 0; look < 200; ++look) {
      ScoreTable seen;
      const std::string text = testenv::readFile(file());
      EXPECT_TRUE(text.empty() || brambleshot::parseScoreTable(text, seen)) << text;
    }
    for (pid_t game : games) {
      int status = 0;
      waitpid(game, &status, 0);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
  }
  // Ten best of the 32 games: the last rounds' entries, none lost.
  ScoreTable final;
  ASSERT_TRUE(brambleshot::parseScoreTable(testenv::readFile(file()), final));
  ASSERT_EQ(final.entries.size(), 10u);
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(final.entries[i].score, 1000 * (kRounds - 1 - i / kGames) + kGames - 1 - i % kGames);
  EXPECT_TRUE(strayFiles().empty());
}

}  // namespace
