// The best-score table: the ten best finished games, best first, and its text form on disk.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brambleshot {

struct ScoreEntry {
  int score = 0;  // may be negative
  int kills = 0;
  int year = 0;  // the local date the game ended
  int month = 0;
  int day = 0;
  bool operator==(const ScoreEntry&) const = default;
};

inline constexpr int kScoreTableRows = 10;
// The years a date in the file can have: four digits, the leap years counted back past 1582
// as the calendar does today.
inline constexpr int kFirstScoreYear = 0;
inline constexpr int kLastScoreYear = 9999;

struct ScoreTable {
  std::vector<ScoreEntry> entries;  // best first, at most kScoreTableRows

  // Places a finished game by its score. An equal score ranks below the games that reached it
  // first, so a tie does not push an older entry out. Returns the entry's row, or -1 when the
  // table is full of better or equal scores.
  int insert(const ScoreEntry& entry);
};

// The file's text: the line "brambleshot scores 1", then one line "SCORE KILLS YYYY-MM-DD" per
// entry, best first.
std::string formatScoreTable(const ScoreTable& table);

// Reads what formatScoreTable writes, and nothing else: a wrong header, a malformed line or
// number, an impossible date, too many entries, entries out of order or a missing final line
// end all make it return false (table is then left empty).
bool parseScoreTable(std::string_view text, ScoreTable& table);

// Anything longer is not a score file (ten entries take under 400 bytes).
inline constexpr std::size_t kMaxScoreFileBytes = 4096;

}  // namespace brambleshot
