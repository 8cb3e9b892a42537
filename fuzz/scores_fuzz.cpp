// libFuzzer target: the best-score file's reader on arbitrary bytes. What it accepts must be
// exactly what the writer would have written for the table read, and never more than ten rows.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "scores/score_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  brambleshot::ScoreTable table;
  if (brambleshot::parseScoreTable(text, table)) {
    if (table.entries.size() > static_cast<std::size_t>(brambleshot::kScoreTableRows))
      __builtin_trap();
    if (brambleshot::formatScoreTable(table) != text) __builtin_trap();
    // A finished game can always be entered into what was read.
    table.insert({table.entries.empty() ? 0 : table.entries.back().score, 0, 2026, 12, 7});
  } else if (!table.entries.empty()) {
    __builtin_trap();
  }
  return 0;
}
