#include "time_axis.h"

#include <array>
#include <cmath>

#include "sample_clock.h"

namespace stats::history {

namespace {

constexpr std::array<double, 18> kSteps = {1,    2,    5,    10,   15,    30,    60,    120,   300,
                                           600,  900,  1800, 3600, 7200,  10800, 21600, 43200, 86400};

QString Label(double at, double step, bool withDay) {
  const double day = std::floor(at / kSecondsPerDay);
  const long long s = std::llround(at - day * kSecondsPerDay);
  QString text = QStringLiteral("%1:%2").arg(s / 3600 % 24, 2, 10, QChar('0')).arg(s / 60 % 60, 2, 10, QChar('0'));
  if (step < 60.0) text += QStringLiteral(":%1").arg(s % 60, 2, 10, QChar('0'));
  if (withDay && day >= 1.0) text = QStringLiteral("+%1d %2").arg(static_cast<long long>(day)).arg(text);
  return text;
}

}  // namespace

std::vector<TimeTick> TimeTicks(TimeRange range, int maxTicks) {
  const double span = range.To - range.From;
  if (!(span > 0.0) || !std::isfinite(span) || maxTicks < 1) return {};
  double step = kSteps.back();
  for (double s : kSteps) {
    if (span / s <= maxTicks) {
      step = s;
      break;
    }
  }
  // Beyond a day's step, whole days.
  while (span / step > maxTicks) step += kSecondsPerDay;
  const bool withDay = span >= kSecondsPerDay / 2.0;
  std::vector<TimeTick> ticks;
  for (double t = std::ceil(range.From / step) * step; t <= range.To; t += step) {
    ticks.push_back({t, Label(t, step, withDay)});
  }
  return ticks;
}

}  // namespace stats::history
