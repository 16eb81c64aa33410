#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "history_store.h"
#include "local_frame.h"

namespace stats::history {

class AnchoredFrame;
class HistorySummary;

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
  // Takes in the bucket of the samples that came next.
  void Merge(const Bucket& later);
};

// A time bucket of every series.
using BucketRow = std::array<Bucket, kSeriesCount>;

// Adds a point's values to their series; the errors only with a frame.
void AddPoint(BucketRow& row, const HistoryPoint& p, const AnchoredFrame* frame);
// Adds a point's horizontal error, and its altitude error when it has an altitude.
void AddErrors(BucketRow& row, const HistoryPoint& p, const AnchoredFrame& frame);

struct TimeRange {
  double From, To;  // seconds on the SampleClock's line
};

// The samples in a time range, cut into equal buckets. Buckets start at a
// multiple of their width, so that they stay put as the range slides and a
// sample keeps its bucket.
struct Decimated {
  TimeRange Range{};
  double Start = 0.0;  // of the first bucket
  double Width = 1.0;  // of a bucket, seconds
  std::vector<BucketRow> Rows;

  const Bucket& At(size_t k, Series s) const { return Rows[k][static_cast<size_t>(s)]; }
  // Where a time falls, in buckets from Start.
  double Place(double t) const { return (t - Start) / Width; }
};

// The points of `store` in `range` (both ends included), in buckets at least
// as wide as the range cut into `buckets` (a little wider, to a width from a
// short list that stays put as the range grows), and as many as reach its end
// (at most one more, for the alignment). Horizontal error d and altitude
// error are offsets from `reference`; without one those series stay empty.
// When the buckets are as wide as the summary's rows and the range holds
// every point, they are made from the summary's rows.
Decimated Decimate(const HistoryStore& store, const HistorySummary& summary, TimeRange range, size_t buckets,
                   const std::optional<LocalFrame>& reference);

}  // namespace stats::history
