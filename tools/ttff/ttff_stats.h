#pragma once

#include <string>
#include <vector>

namespace ttff {

struct Summary {
  std::size_t runs = 0;
  double min = 0.0;
  double median = 0.0;
  double mean = 0.0;
  double p90 = 0.0;  // 90th percentile
  double max = 0.0;
};

// Percentiles interpolate linearly between the sorted values, so that five
// runs give a 90th percentile between the two slowest rather than the slowest.
Summary Summarise(std::vector<double> values);

// "first fix  runs 5  min 12.31  median ...  max 27.02 s", or "no runs".
std::string SummaryLine(const std::string& label, const Summary& s);

// Time of day as "2026-12-08T21:04:05.123Z".
std::string UtcStamp(double unixSeconds);

}  // namespace ttff
