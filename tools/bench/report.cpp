// Summaries of repeated runs and the printed table / JSON file.
#include "report.h"

#include <algorithm>
#include <cstdio>

namespace bench {

Figure summarise(std::vector<double> samples) {
  Figure f;
  if (samples.empty()) return f;
  std::sort(samples.begin(), samples.end());
  const std::size_t n = samples.size();
  f.median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2.0;
  f.min = samples.front();
  f.max = samples.back();
  f.runs = static_cast<int>(n);
  return f;
}

void Report::setMachine(std::string cpu, int cores, std::string renderer) {
  cpu_ = std::move(cpu);
  cores_ = cores;
  renderer_ = std::move(renderer);
}

namespace {

std::string format(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string pad(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

std::string padLeft(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

}  // namespace

std::string Report::table() const {
  std::size_t labelWidth = 10;
  for (const Row& r : rows_)
    labelWidth = std::max(labelWidth, r.label.size() + r.unit.size() + 3);
  std::string out = pad("measurement", labelWidth) + padLeft("median", 11) + padLeft("min", 11) +
                    padLeft("max", 11) + padLeft("runs", 6) + "   target\n";
  out += std::string(labelWidth + 39 + 20, '-') + "\n";
  for (const Row& r : rows_) {
    std::string line = pad(r.label + (r.unit.empty() ? "" : " (" + r.unit + ")"), labelWidth) +
                       padLeft(format(r.figure.median, r.decimals), 11) +
                       padLeft(format(r.figure.min, r.decimals), 11) +
                       padLeft(format(r.figure.max, r.decimals), 11) +
                       padLeft(std::to_string(r.figure.runs), 6);
    if (!r.target.empty()) {
      line += "   " + pad(r.target, 22);
      if (r.met) line += *r.met ? "PASS" : "MISS";
    }
    while (!line.empty() && line.back() == ' ')
      line.pop_back();
    out += line + "\n";
  }
  out += "\nmachine: " + cpu_ + ", " + std::to_string(cores_) + " cores, " + renderer_ + "\n";
  return out;
}

std::string jsonString(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string Report::json() const {
  std::string out = "{\n  \"machine\": {\"cpu\": " + jsonString(cpu_) +
                    ", \"cores\": " + std::to_string(cores_) +
                    ", \"renderer\": " + jsonString(renderer_) + "},\n  \"results\": {\n";
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const Row& r = rows_[i];
    char numbers[160];
    std::snprintf(numbers, sizeof numbers,
                  "\"median\": %.6g, \"min\": %.6g, \"max\": %.6g, \"runs\": %d", r.figure.median,
                  r.figure.min, r.figure.max, r.figure.runs);
    out += "    " + jsonString(r.key) + ": {\"label\": " + jsonString(r.label) +
           ", \"unit\": " + jsonString(r.unit) + ", " + numbers;
    if (!r.target.empty()) out += ", \"target\": " + jsonString(r.target);
    if (r.met) out += std::string(", \"met\": ") + (*r.met ? "true" : "false");
    out += i + 1 < rows_.size() ? "},\n" : "}\n";
  }
  return out + "  }\n}\n";
}

}  // namespace bench
