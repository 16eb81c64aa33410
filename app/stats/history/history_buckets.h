#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "history_store.h"
#include "local_frame.h"

namespace stats::history {

// What the charts draw, one line each.
enum class Series : uint8_t { SatsUsed, InView, Hdop, Snr, Horizontal, Up };
inline constexpr size_t kSeriesCount = 6;

// The samples of one series that fall in a time bucket: every one of them is
// counted, and the smallest and largest are kept in the order they came, so
// that a line through them draws what a line through every sample would.
struct Bucket {
  double Min = 0.0, Max = 0.0;
  uint32_t Count = 0;
  bool MinFirst = true;

  void Add(double v) {
    if (Count++ == 0) {
      Min = Max = v;
    } else if (v < Min) {
      Min = v;
      MinFirst = false;
    } else if (v > Max) {
      Max = v;
      MinFirst = true;
    }
  }
};

struct TimeRange {
  double From, To;  // seconds on the SampleClock's line
};

// The samples in a time range, cut into equal buckets.
struct Decimated {
  TimeRange Range{};
  double Width = 1.0;  // of a bucket, seconds; bucket k starts at Range.From + k·Width
  std::array<std::vector<Bucket>, kSeriesCount> Buckets;

  const std::vector<Bucket>& operator[](Series s) const { return Buckets[static_cast<size_t>(s)]; }
  double Centre(size_t k) const { return Range.From + (static_cast<double>(k) + 0.5) * Width; }
};

// The points of `store` in `range` (both ends included) in `buckets` buckets.
// Horizontal error d and altitude error are offsets from `reference`; without
// one those series stay empty, and so does altitude error for samples without
// an altitude.
Decimated Decimate(const HistoryStore& store, TimeRange range, size_t buckets,
                   const std::optional<LocalFrame>& reference);

}  // namespace stats::history
