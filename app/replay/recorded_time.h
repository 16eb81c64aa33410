#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The time of day a line was recorded at, in milliseconds after midnight UTC:
// the time field of GGA, RMC, ZDA, GNS (field 1) or GLL (field 5) from any
// talker, "hhmmss" with up to three decimals. Any other line, or a time field
// that is empty or not a time, has none. The checksum is not tested: a line
// the decoder drops still tells when it was recorded.
std::optional<int32_t> LineUtcMs(std::string_view line);

// The same, with the date where the sentence carries one (RMC field 9, ZDA
// fields 2 to 4) as days since 1970-01-01.
struct LineTime {
  int32_t ms;
  std::optional<int32_t> day;
};
std::optional<LineTime> ReadLineTime(std::string_view line);

// "hh:mm:ss" or "hh:mm:ss.sss" (decimals only when not whole) for a time of day.
std::string_view FormatUtcMs(int32_t ms, char (&out)[16]);
// The reverse for what a user types: "hh:mm", "hh:mm:ss" or "hh:mm:ss.s..",
// and the sentence form "hhmmss"; none for anything else.
std::optional<int32_t> ParseUtcText(std::string_view text);

// How long the recording waited before each line: the difference between the
// line's time and the last time seen. Lines without a date count across
// midnight when the time of day wraps (a step of up to half a day forwards is
// taken as time that passed, a larger one as the clock going back); lines
// with one also notice a jump by whole days. A line without a time follows
// the one before it at once. A gap longer than kLongestGapMs, or a clock that
// went back, waits kShortenedGapMs instead and is reported as skipped, so a
// replay never stalls on a broken or paused recording.
class RecordedPace {
 public:
  static constexpr int64_t kDayMs = 86'400'000;
  static constexpr int64_t kLongestGapMs = 10'000;
  static constexpr int64_t kShortenedGapMs = 1'000;

  struct Wait {
    int64_t ms = 0;        // recorded time before the line plays
    int64_t skippedMs = 0;  // the gap it stands for when shortened (negative: backwards), else 0
  };

  Wait Next(std::string_view line);
  // After a seek or a pause: the next timed line is the new origin.
  void Restart() { last_.reset(); }

 private:
  // The last time seen, in ms from the first date seen (or an arbitrary day
  // while none was), and whether a date has been seen.
  std::optional<int64_t> last_;
  bool dated_ = false;
};
