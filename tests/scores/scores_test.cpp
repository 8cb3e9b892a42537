// Best scores. The table: where a finished game lands, the file text read back strictly (the
// store's tests check the exact text written), and every date the clock can give read back. The
// score file on a real file system: games that end at the same moment, and those of later runs,
// all keep their entries; links, pipes and folders put where the store reads or writes never
// turn a save against another file nor hang the game; a file that cannot be read is left alone
// and nothing is saved over it; a failure at any step of a save leaves the old file whole;
// damaged files are kept aside, each copy its own; without a writable folder the game plays on
// unsaved.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <utility>

#include "scores/score_store.h"
#include "support/test_util.h"

namespace {

namespace fs = std::filesystem;
using brambleshot::ScoreEntry;
using brambleshot::ScoreStore;
using brambleshot::ScoreTable;

const std::string kOldTable = "brambleshot scores 1\n900 5 2026-12-01\n300 2 2026-12-02\n";

ScoreEntry entry(int score, int kills = 1) {
  return {score, kills, 2026, 12, 7};
}

int lines(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// The exit status of a child process, -1 if a signal ended it.
int exitStatus(pid_t child) {
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
  EXPECT_EQ(table.insert(entry(-200)), -1);
  EXPECT_EQ(table.insert(entry(1)), 8);  // pushes the last one out
  EXPECT_EQ(table.entries.size(), 10u);
  EXPECT_EQ(table.entries.back().score, 0);
}

TEST(ScoreTable, ExtremeValuesReadBack) {
  ScoreTable table;
  table.entries = {{INT_MAX, INT_MAX, 9999, 12, 31}, {0, 0, 2024, 2, 29}, {INT_MIN, 3, 0, 1, 1}};
  ScoreTable read;
  ASSERT_TRUE(brambleshot::parseScoreTable(brambleshot::formatScoreTable(table), read));
  EXPECT_EQ(read.entries, table.entries);
}

// Whatever date the clock gives, the entry it makes is one the reader takes back: a clock just
// before 1970 west of Greenwich, leap days, and the years past what four digits hold, which
// become the nearest day they do hold.
TEST(ScoreTable, EveryDateTheClockGivesReadsBack) {
  const char* const savedZone = std::getenv("TZ");
  const std::string saved = savedZone ? savedZone : "";
  const auto utc = [](int year, int month, int day, int hour = 12) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    return timegm(&t);
  };
  struct Case {
    const char* zone;
    std::time_t when;
    int year, month, day;
  };
  const Case cases[] = {
      {"XST5", -1, 1969, 12, 31},  // five hours west of UTC, a second before the epoch
      {"UTC0", utc(2024, 2, 29), 2024, 2, 29},
      {"UTC0", utc(2000, 2, 29), 2000, 2, 29},
      {"UTC0", utc(0, 2, 29), 0, 2, 29},  // year 0 is a leap year
      {"UTC0", utc(0, 1, 1, 0), 0, 1, 1},
      {"UTC0", utc(0, 1, 1, 0) - 1, 0, 1, 1},  // year -1 is before what the file holds
      {"UTC0", utc(9999, 3, 1), 9999, 3, 1},
      {"UTC0", utc(9999, 12, 31, 23) + 3599, 9999, 12, 31},
      {"UTC0", utc(9999, 12, 31, 23) + 3600, 9999, 12, 31},  // year 10000
      {"UTC0", std::numeric_limits<std::time_t>::max(), 9999, 12, 31},
      {"UTC0", std::numeric_limits<std::time_t>::min(), 0, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.zone) + " " + std::to_string(c.when));
    setenv("TZ", c.zone, 1);
    tzset();
    ScoreTable table;
    table.insert(brambleshot::finishedGame(100, 1, c.when));
    EXPECT_EQ(table.entries[0], (ScoreEntry{100, 1, c.year, c.month, c.day}));
    ScoreTable read;
    EXPECT_TRUE(brambleshot::parseScoreTable(brambleshot::formatScoreTable(table), read));
    EXPECT_EQ(read.entries, table.entries);
  }
  if (savedZone)
    setenv("TZ", saved.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
}

TEST(ScoreTable, AnythingElseIsRefused) {
  const std::string header = "brambleshot scores 1\n";
  std::string eleven = header;
  for (int i = 0; i < 11; ++i)
    eleven += "100 1 2026-12-07\n";
  const std::string refused[] = {
      "",
      "brambleshot scores 2\n",
      header + "100 1 2026-12-07",  // cut short
      header + "100 1 2026-12-07\r\n",
      header + "100  1 2026-12-07\n",
      header + "100 -1 2026-12-07\n",  // kills are never negative
      header + "2147483648 1 2026-12-07\n",
      header + "100 1 2025-02-29\n",  // not a leap year
      header + "100 1 1900-02-29\n",  // nor is a century
      header + "100 1 -001-01-01\n",
      header + "100 1 2026-13-01\n",
      header + "100 1 2026-04-31\n",
      header + "100 1 2026-12-07\n200 1 2026-12-07\n",  // out of order
      header + std::string("100 1 2026-12-07\0\n", 18),
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

class ScoreFile : public ::testing::Test {
 protected:
  fs::path folder() const { return dir / "brambleshot"; }
  fs::path file() const { return folder() / "scores"; }
  fs::path victim() const { return dir / "victim"; }
  void writeOld(const std::string& bytes = kOldTable) {
    fs::create_directories(folder());
    testenv::writeFile(file(), bytes);
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

// What a game saw of its store: opened on a folder, then a game of 600 points recorded.
struct GameSeen {
  bool savingAtStart = false;
  bool savingAtEnd = false;
  int row = -2;
  std::size_t shown = 0;  // rows of the table the game showed
  std::string errors;     // its error stream
  std::string ended;      // empty if it ran to its end, else how it ended
};

// Plays that game in a child process, with beforeOpen and beforeRecord run in the child (where
// they may lower its limits or drop its privileges). A child that takes over 10 s is stopped: a
// blocked open.
GameSeen playInChild(const fs::path& folder, const std::function<void(ScoreStore&)>& beforeOpen,
                     const std::function<void(ScoreStore&)>& beforeRecord) {
  int out[2];
  if (pipe(out) != 0) {
    GameSeen failed;
    failed.ended = "no pipe";
    return failed;
  }
  const pid_t child = fork();
  if (child == 0) {
    close(out[0]);
    alarm(10);
    testenv::MemoryStream errors;
    ScoreStore store;
    beforeOpen(store);
    store.open(folder, errors.stream);
    const bool saving = store.saving();
    beforeRecord(store);
    const int row = store.record(entry(600));
    std::ostringstream seen;
    seen << saving << ' ' << store.saving() << ' ' << row << ' ' << store.table().entries.size()
         << '\n'
         << errors.text();
    const std::string text = seen.str();
    _exit(write(out[1], text.data(), text.size()) == static_cast<ssize_t>(text.size()) ? 0 : 1);
  }
  close(out[1]);
  std::string text;
  char buffer[512];
  for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
    text.append(buffer, static_cast<std::size_t>(n));
  close(out[0]);
  int status = 0;
  waitpid(child, &status, 0);
  GameSeen seen;
  if (WIFSIGNALED(status)) {
    seen.ended = WTERMSIG(status) == SIGALRM ? "blocked" : "killed by a signal";
    return seen;
  }
  if (WEXITSTATUS(status) != 0) {
    seen.ended = "exited with " + std::to_string(WEXITSTATUS(status));
    return seen;
  }
  std::istringstream in(text);
  in >> seen.savingAtStart >> seen.savingAtEnd >> seen.row >> seen.shown;
  in.ignore(1);
  seen.errors.assign(std::istreambuf_iterator<char>(in), {});
  return seen;
}

void nothing(ScoreStore&) {}

// Root reads and writes anything: where permissions are tested, root's child runs as nobody.
void asNobody(ScoreStore&) {
  if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
}

// Links, pipes and folders where the store reads, locks and writes. The file they point at must
// never change and the game must never hang. A stale temporary file of any kind is cleared and
// the save goes on; a lock or a table that is not a plain file turns saving off, says so once
// and is left where it is.
TEST_F(ScoreFile, LinksPipesAndFoldersInItsPlaceNeitherHangTheGameNorReachOtherFiles) {
  enum Kind { kLink, kDanglingLink, kPipe, kFolder };
  struct Case {
    const char* name;
    Kind kind;
    bool saves;        // the game's entry reaches the file
    const char* says;  // the error line's reason; "" for no line
    std::vector<std::string> stray;
  };
  const Case cases[] = {
      {"scores.tmp", kLink, true, "", {}},
      {"scores.tmp", kDanglingLink, true, "", {}},
      {"scores.tmp", kPipe, true, "", {}},
      {"scores.tmp", kFolder, true, "", {"scores.tmp"}},
      {"scores.lock", kLink, false, "cannot lock the best scores", {}},
      {"scores.lock", kPipe, false, "not a regular file", {}},
      {"scores.lock", kFolder, false, "Is a directory", {}},
      {"scores", kLink, false, "symbolic links", {}},
      {"scores", kPipe, false, "not a regular file", {}},
      {"scores", kFolder, false, "not a regular file", {}},
  };
  const std::string precious = "precious\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " as kind " + std::to_string(c.kind));
    fs::remove_all(folder());
    fs::remove(victim());
    fs::remove(dir / "nowhere");
    const bool overTheTable = std::string(c.name) == "scores";
    if (overTheTable) {
      fs::create_directories(folder());
      testenv::writeFile(victim(), kOldTable);  // a good table, to tempt the reader
    } else {
      writeOld();
      testenv::writeFile(victim(), precious);
    }
    const fs::path place = folder() / c.name;
    if (c.kind == kLink) fs::create_symlink(victim(), place);
    if (c.kind == kDanglingLink) fs::create_symlink(dir / "nowhere", place);
    if (c.kind == kPipe) {
      ASSERT_EQ(mkfifo(place.c_str(), 0644), 0);
    }
    if (c.kind == kFolder) fs::create_directory(place);

    const GameSeen seen = playInChild(folder(), nothing, nothing);
    ASSERT_EQ(seen.ended, "");
    EXPECT_EQ(seen.savingAtEnd, c.saves);
    EXPECT_EQ(lines(seen.errors), c.says[0] ? 1 : 0) << seen.errors;
    EXPECT_NE(seen.errors.find(c.says), std::string::npos) << seen.errors;
    // Saved or not, the game shows its entry with the table it could read.
    EXPECT_EQ(seen.row, overTheTable ? 0 : 1);
    EXPECT_EQ(seen.shown, overTheTable ? 1u : 3u);
    EXPECT_EQ(testenv::readFile(victim()), overTheTable ? kOldTable : precious);
    EXPECT_FALSE(fs::exists(dir / "nowhere"));
    EXPECT_EQ(strayFiles(), c.stray);
    if (overTheTable) {
      EXPECT_EQ(fs::is_symlink(place), c.kind == kLink);
      EXPECT_EQ(fs::is_fifo(place), c.kind == kPipe);
      EXPECT_EQ(fs::is_directory(fs::symlink_status(place)), c.kind == kFolder);
    } else {
      EXPECT_EQ(testenv::readFile(file()),
                c.saves ? kOldTable.substr(0, 38) + "600 1 2026-12-07\n" + kOldTable.substr(38)
                        : kOldTable);
    }
  }
}

// Lowers the descriptor limit to the descriptors open now: the next open fails with EMFILE.
void useUpDescriptors(ScoreStore&) {
  const int next = dup(0);
  close(next);
  const rlimit limit{static_cast<rlim_t>(next), static_cast<rlim_t>(next)};
  setrlimit(RLIMIT_NOFILE, &limit);
}

// A good table that cannot be read is no damaged table: it stays where it is, untouched, and
// since an empty table saved over it would lose it, nothing is saved for the rest of the run.
TEST_F(ScoreFile, AGoodTableThatCannotBeReadIsLeftAloneAndNothingIsSavedOverIt) {
  struct Case {
    const char* what;
    std::function<void(ScoreStore&)> beforeOpen, beforeRecord;
    bool savingAtStart;
    int row;
    const char* says;
    int lines;
  };
  const Case cases[] = {
      // The lock fails first, then the read.
      {"no descriptors at start", useUpDescriptors, nothing, false, 0, "Too many open files", 2},
      // The lock is held open from the start: only the read fails.
      {"no descriptors at the end", nothing, useUpDescriptors, true, 1, "Too many open files", 1},
      // Unreadable by its owner (as root: nobody, in a folder of its own holding root's file).
      {"no permission", asNobody, nothing, false, 0, "Permission denied", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(folder());
    writeOld();
    fs::permissions(file(), fs::perms::none);
    fs::permissions(dir.path(), fs::perms::others_read | fs::perms::others_exec,
                    fs::perm_options::add);
    if (geteuid() == 0) {
      ASSERT_EQ(chown(folder().c_str(), 65534, 65534), 0);
    }

    const GameSeen seen = playInChild(folder(), c.beforeOpen, c.beforeRecord);
    ASSERT_EQ(seen.ended, "");
    EXPECT_EQ(seen.savingAtStart, c.savingAtStart);
    EXPECT_FALSE(seen.savingAtEnd);
    EXPECT_EQ(seen.row, c.row);  // the entry is shown with what was read
    EXPECT_EQ(lines(seen.errors), c.lines) << seen.errors;
    EXPECT_NE(seen.errors.find(c.says), std::string::npos) << seen.errors;
    EXPECT_NE(seen.errors.find("not saved"), std::string::npos) << seen.errors;
    fs::permissions(file(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(testenv::readFile(file()), kOldTable);
    EXPECT_TRUE(strayFiles().empty());
  }
}

int failWith(int error) {
  errno = error;
  return -1;
}

// Each failure hits a different step of the save; the old table must come through untouched.
TEST_F(ScoreFile, AFailedSaveLeavesTheOldTableWhole) {
  const auto system = brambleshot::kSystemScoreFileCalls;
  // A full disk: writes past 20 bytes fail, as they do past the file-size limit.
  const auto fullDisk = [](ScoreStore&) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{20, 20};
    setrlimit(RLIMIT_FSIZE, &limit);
  };
  const auto failing = [](brambleshot::ScoreFileCalls calls) {
    return [calls](ScoreStore& store) { store.calls = calls; };
  };
  auto failedFsync = system, failedRename = system;
  failedFsync.fsync = [](int) { return failWith(EIO); };
  failedRename.rename = [](const char*, const char*) { return failWith(EXDEV); };
  const std::pair<std::function<void(ScoreStore&)>, const char*> cases[] = {
      {fullDisk, "File too large"},
      {failing(failedFsync), "Input/output"},
      {failing(failedRename), "cross-device"},
  };
  for (const auto& [beforeRecord, reason] : cases) {
    SCOPED_TRACE(reason);
    writeOld();
    const GameSeen seen = playInChild(folder(), nothing, beforeRecord);
    ASSERT_EQ(seen.ended, "");
    // The game still shows its entry, and says once why it was not saved.
    EXPECT_EQ(seen.row, 1);
    EXPECT_EQ(seen.shown, 3u);
    EXPECT_EQ(testenv::readFile(file()), kOldTable);
    EXPECT_TRUE(strayFiles().empty());
    EXPECT_EQ(lines(seen.errors), 1);
    EXPECT_NE(seen.errors.find(reason), std::string::npos) << seen.errors;
  }
}

// A file that is not a table is renamed aside, under a name no other copy has, however many
// were made in the same second; the next finished game starts a fresh table.
TEST_F(ScoreFile, ADamagedFileIsKeptAsideAndAFreshTableStarted) {
  writeOld();
  // Copies made this second and the next, in case the clock ticks meanwhile: each holds its name.
  std::vector<std::string> earlier;
  for (std::time_t second = std::time(nullptr), last = second + 1; second <= last; ++second)
    for (int n = 0; n < 120; ++n) {
      std::string name = "scores.damaged-" + std::to_string(second);
      if (n > 0) name += std::string("-") + std::to_string(n);
      earlier.push_back(name);
    }
  for (const std::string& name : earlier)
    testenv::writeFile(folder() / name, name);

  const std::string bytes = "brambleshot scores 1\n900 5 2026-1";
  testenv::writeFile(file(), bytes);
  testenv::MemoryStream errors;
  ScoreStore store;
  store.open(folder(), errors.stream);
  EXPECT_TRUE(store.table().entries.empty());
  EXPECT_TRUE(store.saving());
  std::vector<std::string> aside = strayFiles();
  ASSERT_EQ(aside.size(), earlier.size() + 1);
  for (const std::string& name : earlier)
    EXPECT_EQ(testenv::readFile(folder() / name), name);
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
  EXPECT_EQ(testenv::readFile(file()), "brambleshot scores 1\n100 1 2026-12-07\n");
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
  EXPECT_EQ(brambleshot::scoreFolder("/data", "/home/p"), fs::path("/data/brambleshot"));
  EXPECT_EQ(brambleshot::scoreFolder("relative", "/home/p"),
            fs::path("/home/p/.local/share/brambleshot"));
  EXPECT_EQ(brambleshot::scoreFolder(nullptr, ""), fs::path());

  // No home at all, a relative one, and a folder that cannot be made even by root: each is
  // said as it is.
  const struct {
    const char* xdg;
    const char* home;
    const char* says;
  } places[] = {
      {nullptr, "", "neither HOME nor XDG_DATA_HOME is set"},
      {"", "games", "HOME is the relative path \"games\", XDG_DATA_HOME is not set"},
      {"data", nullptr, "HOME is not set, XDG_DATA_HOME is the relative path \"data\""},
      {"/proc/brambleshot-test", "/", "cannot create /proc/brambleshot-test/brambleshot"},
  };
  for (const auto& place : places) {
    SCOPED_TRACE(place.says);
    testenv::MemoryStream errors;
    ScoreStore store;
    store.openInHome(place.xdg, place.home, errors.stream);
    EXPECT_FALSE(store.saving());
    EXPECT_EQ(store.record(entry(100)), 0);  // kept for this run
    EXPECT_EQ(store.record(entry(200)), 0);
    EXPECT_EQ(lines(errors.text()), 1) << errors.text();
    EXPECT_NE(errors.text().find(place.says), std::string::npos) << errors.text();
  }

  // A read-only folder: the table is read, and never written.
  writeOld();
  fs::permissions(dir.path(), fs::perms::others_read | fs::perms::others_exec,
                  fs::perm_options::add);
  fs::permissions(folder(), fs::perms::owner_write, fs::perm_options::remove);
  const GameSeen seen = playInChild(folder(), asNobody, nothing);
  EXPECT_EQ(seen.ended, "");
  EXPECT_FALSE(seen.savingAtStart);
  EXPECT_EQ(seen.row, 1);
  EXPECT_EQ(seen.shown, 3u);
  EXPECT_EQ(lines(seen.errors), 1) << seen.errors;
  EXPECT_EQ(testenv::readFile(file()), kOldTable);
  fs::permissions(folder(), fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(ScoreFile, GamesEndingAtOnceKeepEveryEntryAndTheFileIsNeverBroken) {
  constexpr int kGames = 4, kRounds = 8;
  for (int round = 0; round < kRounds; ++round) {
    // Every game opens the table (the first ones make the folder), then all record together
    // when the pipe opens.
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
    for (pid_t game : games)
      EXPECT_EQ(exitStatus(game), 0);
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
