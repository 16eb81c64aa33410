#pragma once

#include <QString>
#include <vector>

#include "history_buckets.h"

namespace stats::history {

struct TimeTick {
  double At;  // seconds on the SampleClock's line
  QString Label;
};

// Ticks at a round step (seconds, minutes, hours or days) in `range`, at most
// `maxTicks` of them, labelled with their UTC time of day: "hh:mm:ss" below
// a minute's step, else "hh:mm". Over half a day and more, a tick in a later
// day than the first sample's says which ("+1d 06:00"), so no label repeats.
std::vector<TimeTick> TimeTicks(TimeRange range, int maxTicks);

}  // namespace stats::history
