// The best-score table's ordering and its strict text format.
#include "scores/score_table.h"

#include <charconv>
#include <cstdio>

namespace brambleshot {

namespace {

constexpr std::string_view kHeader = "brambleshot scores 1\n";

int daysInMonth(int year, int month) {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// Reads a decimal integer written without a plus sign or leading zeros (and no "-0"), as
// std::to_chars writes it; advances text past it.
bool readInt(std::string_view& text, int& value, bool allowNegative) {
  const bool negative = !text.empty() && text.front() == '-';
  if (negative && !allowNegative) return false;
  const std::size_t digits = negative ? 1 : 0;
  if (text.size() <= digits || text[digits] < '0' || text[digits] > '9') return false;
  if (text[digits] == '0' && (negative || (text.size() > 1 && text[1] >= '0' && text[1] <= '9')))
    return false;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc()) return false;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()));
  return true;
}

// Reads exactly `width` digits.
bool readFixed(std::string_view& text, int width, int& value) {
  if (text.size() < static_cast<std::size_t>(width)) return false;
  value = 0;
  for (int i = 0; i < width; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  text.remove_prefix(static_cast<std::size_t>(width));
  return true;
}

bool expect(std::string_view& text, char c) {
  if (text.empty() || text.front() != c) return false;
  text.remove_prefix(1);
  return true;
}

bool readEntry(std::string_view& text, ScoreEntry& entry) {
  return readInt(text, entry.score, true) && expect(text, ' ') &&
         readInt(text, entry.kills, false) && expect(text, ' ') && readFixed(text, 4, entry.year) &&
         expect(text, '-') && readFixed(text, 2, entry.month) && expect(text, '-') &&
         readFixed(text, 2, entry.day) && expect(text, '\n') && entry.year >= kFirstScoreYear &&
         entry.year <= kLastScoreYear && entry.month >= 1 && entry.month <= 12 && entry.day >= 1 &&
         entry.day <= daysInMonth(entry.year, entry.month);
}

}  // namespace

int ScoreTable::insert(const ScoreEntry& entry) {
  std::size_t row = 0;
  while (row < entries.size() && entries[row].score >= entry.score)
    ++row;
  if (row >= static_cast<std::size_t>(kScoreTableRows)) return -1;
  entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(row), entry);
  if (entries.size() > static_cast<std::size_t>(kScoreTableRows)) entries.resize(kScoreTableRows);
  return static_cast<int>(row);
}

std::string formatScoreTable(const ScoreTable& table) {
  std::string text(kHeader);
  for (const ScoreEntry& e : table.entries) {
    char line[64];
    std::snprintf(line, sizeof line, "%d %d %04d-%02d-%02d\n", e.score, e.kills, e.year, e.month,
                  e.day);
    text += line;
  }
  return text;
}

bool parseScoreTable(std::string_view text, ScoreTable& table) {
  table.entries.clear();
  if (text.size() > kMaxScoreFileBytes || !text.starts_with(kHeader)) return false;
  text.remove_prefix(kHeader.size());
  std::vector<ScoreEntry> entries;
  while (!text.empty()) {
    ScoreEntry entry;
    if (entries.size() >= static_cast<std::size_t>(kScoreTableRows) || !readEntry(text, entry) ||
        (!entries.empty() && entries.back().score < entry.score))
      return false;
    entries.push_back(entry);
  }
  table.entries = std::move(entries);
  return true;
}

}  // namespace brambleshot
