#pragma once

#include <cmath>
#include <cstddef>
#include <optional>
#include <vector>

#include "anchored_frame.h"
#include "history_buckets.h"

namespace stats::history {

// The points summed up per ten seconds of the time line, so that a chart of
// a whole day adds up 8,640 rows rather than 864,000 points at each refresh.
// Its errors are against the reference they were summed with, and are summed
// again only when the reference moves far enough that a chart could show it.
class HistorySummary {
 public:
  static constexpr double kRowSeconds = 10.0;

  struct Row {
    double Start;  // a multiple of kRowSeconds
    BucketRow Buckets;
  };

  // Sums up the points `store` has beyond those summed. When `reference` lies
  // more than a thousandth of the largest error away from the one the errors
  // were summed with (and over a millimetre), sums up every point's errors again.
  void Update(const HistoryStore& store, const std::optional<LocalFrame>& reference);
  void Clear();

  // Points summed; every point of the store once Update has run.
  size_t Points() const { return summed_; }
  bool HasErrors() const { return frame_.has_value(); }
  const std::vector<Row>& Rows() const { return rows_; }
  size_t BytesHeld() const { return rows_.capacity() * sizeof(Row); }

 private:
  void Sum(const HistoryStore& store, size_t from);
  // The errors of the points summed, against frame_; the other series stay.
  void SumErrorsAgain(const HistoryStore& store);
  void NoteLargestError(size_t fromRow);
  static double RowStart(double t) { return std::floor(t / kRowSeconds) * kRowSeconds; }

  std::vector<Row> rows_;
  size_t summed_ = 0;
  std::optional<AnchoredFrame> frame_;
  Ecef anchor_{};  // the store's, when summed
  double largestError_ = 0.0;  // metres, |d| or |up|
};

}  // namespace stats::history
