#include "history_summary.h"

#include <algorithm>
#include <cmath>

namespace stats::history {

namespace {

constexpr double kSmallestMove = 1e-3;  // metres
// A move of the reference changes an error by at most this much per metre
// (an offset, and the frame's turn over a distance up to twice the earth's
// radius); the charts are under a thousand pixels tall.
constexpr double kErrorPerMove = 3.0;
constexpr double kShownPart = 1e-3;

}  // namespace

void HistorySummary::Update(const HistoryStore& store, const std::optional<LocalFrame>& reference) {
  const Ecef& a = store.Anchor();
  // A store read again from the start: new points, perhaps a new anchor.
  if (store.Size() < summed_ || (summed_ > 0 && (a.X != anchor_.X || a.Y != anchor_.Y || a.Z != anchor_.Z))) {
    Clear();
  }
  std::optional<AnchoredFrame> next;
  // Without points there is no anchor yet to turn the reference into a frame.
  if (reference && !store.Empty()) next.emplace(*reference, store.Anchor());
  const bool again = next.has_value() != frame_.has_value() ||
                     (next && next->Distance(*frame_) * kErrorPerMove >
                                  std::max(kSmallestMove, largestError_ * kShownPart));
  if (again) {
    frame_ = next;
    SumErrorsAgain(store);
  }
  Sum(store, summed_);
}

void HistorySummary::Clear() {
  rows_.clear();
  summed_ = 0;
  frame_.reset();
  largestError_ = 0.0;
}

void HistorySummary::Sum(const HistoryStore& store, size_t from) {
  if (store.Size() > 0) anchor_ = store.Anchor();
  const AnchoredFrame* frame = frame_ ? &*frame_ : nullptr;
  const size_t firstNewRow = rows_.empty() ? 0 : rows_.size() - 1;
  for (size_t i = from; i < store.Size(); ++i) {
    const HistoryPoint& p = store[i];
    const double start = RowStart(p.Time);
    if (rows_.empty() || rows_.back().Start != start) rows_.push_back({start, BucketRow{}});
    AddPoint(rows_.back().Buckets, p, frame);
  }
  NoteLargestError(firstNewRow);
  summed_ = store.Size();
}

void HistorySummary::SumErrorsAgain(const HistoryStore& store) {
  for (Row& r : rows_) {
    r.Buckets[static_cast<size_t>(Series::Horizontal)] = Bucket{};
    r.Buckets[static_cast<size_t>(Series::Up)] = Bucket{};
  }
  largestError_ = 0.0;
  if (!frame_) return;
  // Points and rows both in time order.
  size_t row = 0;
  for (size_t i = 0; i < summed_; ++i) {
    const HistoryPoint& p = store[i];
    const double start = RowStart(p.Time);
    while (row + 1 < rows_.size() && rows_[row].Start != start) ++row;
    AddErrors(rows_[row].Buckets, p, *frame_);
  }
  NoteLargestError(0);
}

void HistorySummary::NoteLargestError(size_t fromRow) {
  for (size_t i = fromRow; i < rows_.size(); ++i) {
    const Bucket& d = rows_[i].Buckets[static_cast<size_t>(Series::Horizontal)];
    const Bucket& up = rows_[i].Buckets[static_cast<size_t>(Series::Up)];
    if (d.Count > 0) largestError_ = std::max(largestError_, d.Max);
    if (up.Count > 0) largestError_ = std::max({largestError_, up.Max, -up.Min});
  }
}

}  // namespace stats::history
