#include "sample_clock.h"

namespace stats::history {

namespace {

bool Digit(char c) { return c >= '0' && c <= '9'; }
int TwoDigits(std::string_view s, size_t at) { return (s[at] - '0') * 10 + (s[at + 1] - '0'); }

}  // namespace

std::optional<double> SecondsOfDay(std::string_view f) {
  if (f.size() < 6) return std::nullopt;
  for (size_t i = 0; i < 6; ++i) {
    if (!Digit(f[i])) return std::nullopt;
  }
  const int h = TwoDigits(f, 0), m = TwoDigits(f, 2), s = TwoDigits(f, 4);
  // 60 seconds: a leap second.
  if (h > 23 || m > 59 || s > 60) return std::nullopt;
  double fraction = 0.0;
  if (f.size() > 6) {
    if (f[6] != '.') return std::nullopt;
    double scale = 0.1;
    for (size_t i = 7; i < f.size(); ++i, scale /= 10.0) {
      if (!Digit(f[i])) return std::nullopt;
      fraction += (f[i] - '0') * scale;
    }
  }
  return h * 3600.0 + m * 60.0 + s + fraction;
}

std::optional<double> SampleClock::Place(std::string_view field) {
  const std::optional<double> ofDay = SecondsOfDay(field);
  if (!ofDay) return last_;
  double t = dayStart_ + *ofDay;
  if (last_) {
    constexpr double kHalfDay = kSecondsPerDay / 2.0;
    if (t < *last_ - kHalfDay) {
      dayStart_ += kSecondsPerDay;
      t += kSecondsPerDay;
    }
    if (t < *last_) t = *last_;
  }
  last_ = t;
  return t;
}

}  // namespace stats::history
