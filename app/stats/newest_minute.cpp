#include "app/stats/newest_minute.h"

#include <optional>
#include <string_view>

namespace {

constexpr double kDay = 86400.0;
constexpr double kMinute = 60.0;

// "hhmmss" or "hhmmss.sss" as seconds of the day.
std::optional<double> SecondOfDay(std::string_view t) {
  if (t.size() < 6) return std::nullopt;
  int hms[3];
  for (int i = 0; i < 3; ++i) {
    const char a = t[2 * i], b = t[2 * i + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9') return std::nullopt;
    hms[i] = (a - '0') * 10 + (b - '0');
  }
  double fraction = 0.0;
  if (t.size() > 6) {
    if (t[6] != '.') return std::nullopt;
    double scale = 0.1;
    for (const char c : t.substr(7)) {
      if (c < '0' || c > '9') return std::nullopt;
      fraction += (c - '0') * scale;
      scale /= 10.0;
    }
  }
  return hms[0] * 3600.0 + hms[1] * 60.0 + hms[2] + fraction;
}

}  // namespace

size_t NewestMinuteStart(const stats::SampleStore& samples) {
  const size_t n = samples.Size();
  if (n == 0) return 0;
  const std::optional<double> last = SecondOfDay(samples[n - 1].TimeText());
  if (!last) return n - 1;
  size_t start = n - 1;
  while (start > 0) {
    const std::optional<double> t = SecondOfDay(samples[start - 1].TimeText());
    if (!t) break;
    double before = *last - *t;
    if (before < 0.0) before += kDay;
    if (before >= kMinute) break;
    --start;
  }
  return start;
}
