#include "ttff_stats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <numeric>

namespace ttff {

namespace {

double Percentile(const std::vector<double>& sorted, double p) {
  const double position = p * static_cast<double>(sorted.size() - 1);
  const auto below = static_cast<std::size_t>(std::floor(position));
  const std::size_t above = std::min(below + 1, sorted.size() - 1);
  return sorted[below] + (sorted[above] - sorted[below]) * (position - static_cast<double>(below));
}

}  // namespace

Summary Summarise(std::vector<double> values) {
  Summary s;
  s.runs = values.size();
  if (values.empty()) return s;
  std::sort(values.begin(), values.end());
  s.min = values.front();
  s.max = values.back();
  s.mean = std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
  s.median = Percentile(values, 0.5);
  s.p90 = Percentile(values, 0.9);
  return s;
}

std::string SummaryLine(const std::string& label, const Summary& s) {
  char line[200];
  if (s.runs == 0)
    std::snprintf(line, sizeof line, "%-10s runs 0", label.c_str());
  else
    std::snprintf(line, sizeof line, "%-10s runs %zu  min %.2f  median %.2f  mean %.2f  p90 %.2f  max %.2f s",
                  label.c_str(), s.runs, s.min, s.median, s.mean, s.p90, s.max);
  return line;
}

std::string UtcStamp(double unixSeconds) {
  const auto whole = static_cast<std::time_t>(std::floor(unixSeconds));
  const int millis = std::min(999, static_cast<int>(std::lround((unixSeconds - std::floor(unixSeconds)) * 1000.0)));
  std::tm tm{};
  gmtime_r(&whole, &tm);
  char text[80];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", tm.tm_year + 1900, tm.tm_mon + 1,
                tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, millis);
  return text;
}

}  // namespace ttff
