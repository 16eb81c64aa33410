#pragma once

#include <optional>
#include <string_view>

namespace stats::history {

inline constexpr double kSecondsPerDay = 86400.0;

// Seconds since midnight from a GGA time field ("hhmmss" with any fraction);
// none when the field is empty or is no time.
std::optional<double> SecondsOfDay(std::string_view field);

// Places samples on one time line from their UTC times of day, so that a
// replayed recording shows its own times and a night's recording runs on past
// midnight: seconds from the midnight before the first timed sample.
//  - A time more than 12 hours before the previous one is the next day's.
//  - The line never runs backwards: an earlier time (a receiver repeating a
//    stale fix) is drawn at the previous sample's time.
//  - A sample without a time is drawn at the previous sample's time; before
//    any sample had one, it is not drawn at all (none).
class SampleClock {
 public:
  std::optional<double> Place(std::string_view field);

 private:
  std::optional<double> last_;
  double dayStart_ = 0.0;
};

}  // namespace stats::history
