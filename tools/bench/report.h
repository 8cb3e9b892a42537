// Benchmark figures (median, min and max of repeated runs) and the table and JSON they go into.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace bench {

struct Figure {
  double median = 0.0;
  double min = 0.0;
  double max = 0.0;
  int runs = 0;
};

// Median (mean of the middle two for an even count), min and max; all zero for no samples.
Figure summarise(std::vector<double> samples);

struct Row {
  std::string key;    // JSON name, e.g. "frame_peak_ms"
  std::string label;  // what the table shows
  std::string unit;
  Figure figure;
  std::string target;       // e.g. "<= 150 ms"; empty when the row has none
  std::optional<bool> met;  // PASS / MISS
  int decimals = 2;
};

class Report {
 public:
  void add(Row row) { rows_.push_back(std::move(row)); }
  void setMachine(std::string cpu, int cores, std::string renderer);
  const std::vector<Row>& rows() const { return rows_; }
  std::string table() const;
  std::string json() const;

 private:
  std::vector<Row> rows_;
  std::string cpu_;
  int cores_ = 0;
  std::string renderer_;
};

// Escapes a string for a JSON string literal.
std::string jsonString(const std::string& text);

}  // namespace bench
