// Best scores. The table: where a finished game lands, and the file text read back strictly (the
// store's tests check the exact text written). The score file on a real file system: games that
// end at the same moment, and those of later runs, all keep their entries; a failure at any step
// of a save (a full disk is a write cut short) leaves the old file whole; damaged files are kept
// aside; without a writable folder the game plays on unsaved.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <filesystem>
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
  table.entries = {{INT_MAX, INT_MAX, 9999, 12, 31}, {0, 0, 2024, 2, 29}, {INT_MIN, 3, 1970, 1, 1}};
  ScoreTable read;
  ASSERT_TRUE(brambleshot::parseScoreTable(brambleshot::formatScoreTable(table), read));
  EXPECT_EQ(read.entries, table.entries);
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
      header + "100 1 2025-02-29\n",                    // not a leap year
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
    return names;
  }

  testenv::TempDir dir;
};

int failWith(int error) {
  errno = error;
  return -1;
}

// A write cut short, as on a full disk.
ssize_t halfThenNoSpace(int fd, const void* bytes, std::size_t count) {
  return count > 8 ? ::write(fd, bytes, count / 2) : failWith(ENOSPC);
}

// Each failure hits a different step of the save; the old table must come through untouched.
TEST_F(ScoreFile, AFailedSaveLeavesTheOldTableWhole) {
  const auto system = brambleshot::kSystemScoreFileCalls;
  const std::pair<brambleshot::ScoreFileCalls, const char*> cases[] = {
      {{halfThenNoSpace, system.fsync, system.rename}, "No space"},
      {{system.write, [](int) { return failWith(EIO); }, system.rename}, "Input/output"},
      {{system.write, system.fsync, [](const char*, const char*) { return failWith(EXDEV); }},
       "cross-device"},
  };
  for (const auto& [calls, reason] : cases) {
    SCOPED_TRACE(reason);
    writeOld();
    testenv::MemoryStream errors;
    ScoreStore store;
    store.open(folder(), errors.stream);
    store.calls = calls;
    // The game still shows its entry, and says once why it was not saved.
    EXPECT_EQ(store.record(entry(600)), 1);
    EXPECT_EQ(store.table().entries.size(), 3u);
    EXPECT_EQ(testenv::readFile(file()), kOldTable);
    EXPECT_TRUE(strayFiles().empty());
    EXPECT_EQ(lines(errors.text()), 1);
    EXPECT_NE(errors.text().find(reason), std::string::npos) << errors.text();
  }
}

TEST_F(ScoreFile, ADamagedFileIsKeptAsideAndAFreshTableStarted) {
  const std::string bytes = "brambleshot scores 1\n900 5 2026-1";
  writeOld(bytes);
  testenv::MemoryStream errors;
  ScoreStore store;
  store.open(folder(), errors.stream);
  EXPECT_TRUE(store.table().entries.empty());
  EXPECT_TRUE(store.saving());
  const std::vector<std::string> aside = strayFiles();
  ASSERT_EQ(aside.size(), 1u);
  EXPECT_EQ(aside[0].rfind("scores.damaged-", 0), 0u) << aside[0];
  EXPECT_EQ(testenv::readFile(folder() / aside[0]), bytes);
  EXPECT_EQ(lines(errors.text()), 1);
  EXPECT_NE(errors.text().find(aside[0]), std::string::npos) << errors.text();
  // The next finished game starts the fresh table; the damaged copy stays.
  EXPECT_EQ(store.record(entry(100)), 0);
  EXPECT_EQ(testenv::readFile(file()), "brambleshot scores 1\n100 1 2026-12-07\n");
  EXPECT_EQ(strayFiles().size(), 1u);
}

TEST_F(ScoreFile, WithoutAWritableFolderTheGamePlaysOnUnsaved) {
  EXPECT_EQ(brambleshot::scoreFolder("/data", "/home/p"), fs::path("/data/brambleshot"));
  EXPECT_EQ(brambleshot::scoreFolder("relative", "/home/p"),
            fs::path("/home/p/.local/share/brambleshot"));
  EXPECT_EQ(brambleshot::scoreFolder(nullptr, ""), fs::path());

  // No home at all, and a folder that cannot be made even by root.
  for (const fs::path& place : {fs::path(), fs::path("/proc/brambleshot-test/brambleshot")}) {
    SCOPED_TRACE(place.string());
    testenv::MemoryStream errors;
    ScoreStore store;
    store.open(place, errors.stream);
    EXPECT_FALSE(store.saving());
    EXPECT_EQ(store.record(entry(100)), 0);  // kept for this run
    EXPECT_EQ(store.record(entry(200)), 0);
    EXPECT_EQ(lines(errors.text()), 1) << errors.text();
  }

  // A read-only folder: the table is read, and never written. Root writes anywhere, so as root
  // the game runs as nobody.
  writeOld();
  fs::permissions(dir.path(), fs::perms::others_read | fs::perms::others_exec,
                  fs::perm_options::add);
  fs::permissions(folder(), fs::perms::owner_write, fs::perm_options::remove);
  const pid_t child = fork();
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
    testenv::MemoryStream errors;
    ScoreStore store;
    store.open(folder(), errors.stream);
    const bool read = store.table().entries.size() == 2;
    const bool shown = store.record(entry(600)) == 1;
    _exit(read && shown && !store.saving() && lines(errors.text()) == 1 ? 0 : 1);
  }
  EXPECT_EQ(exitStatus(child), 0);
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
