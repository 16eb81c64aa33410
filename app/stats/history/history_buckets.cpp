#include "history_buckets.h"

#include <algorithm>
#include <cmath>

#include "anchored_frame.h"
#include "history_summary.h"

namespace stats::history {

namespace {

// The least of 1, 1.2, 1.5, 2, 2.5, 3, 4, 5, 6 and 8 times a power of ten that
// is at least `width`. A width from this short list stays put while the span
// of everything grows, so that the axes and the buckets do not move at every
// refresh; it costs at most a fifth of the columns.
double SteadyWidth(double width) {
  const double power = std::pow(10.0, std::floor(std::log10(width)));
  for (double m : {1.0, 1.2, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0, 6.0, 8.0}) {
    if (m * power >= width * (1.0 - 1e-12)) return m * power;
  }
  return 10.0 * power;
}

}  // namespace

void Bucket::Merge(const Bucket& later) {
  if (later.Count == 0) return;
  if (Count == 0) {
    *this = later;
    return;
  }
  // The first of equal extremes stays, as Add keeps it.
  const bool laterMin = later.Min < Min, laterMax = later.Max > Max;
  if (laterMin && laterMax) {
    MinFirst = later.MinFirst;
  } else if (laterMin != laterMax) {
    MinFirst = laterMax;
  }
  Min = std::min(Min, later.Min);
  Max = std::max(Max, later.Max);
  Count += later.Count;
}

void AddPoint(BucketRow& row, const HistoryPoint& p, const AnchoredFrame* frame) {
  auto at = [&row](Series s) -> Bucket& { return row[static_cast<size_t>(s)]; };
  at(Series::InView).Add(p.InView);
  if (p.Fields & HistoryPoint::kSatsUsed) at(Series::SatsUsed).Add(p.SatsUsed);
  if (p.Fields & HistoryPoint::kHdop) at(Series::Hdop).Add(p.Hdop);
  if (p.Fields & HistoryPoint::kSnr) at(Series::Snr).Add(p.Snr);
  if (frame != nullptr) AddErrors(row, p, *frame);
}

void AddErrors(BucketRow& row, const HistoryPoint& p, const AnchoredFrame& frame) {
  const Enu e = frame.Offset(p);
  row[static_cast<size_t>(Series::Horizontal)].Add(std::sqrt(e.East * e.East + e.North * e.North));
  if (p.Fields & HistoryPoint::kAltitude) row[static_cast<size_t>(Series::Up)].Add(e.Up);
}

Decimated Decimate(const HistoryStore& store, const HistorySummary& summary, TimeRange range, size_t buckets,
                   const std::optional<LocalFrame>& reference) {
  Decimated out;
  out.Range = range;
  buckets = std::max<size_t>(buckets, 1);
  const double span = range.To - range.From;
  out.Width = span > 0.0 ? span / static_cast<double>(buckets) : 1.0;
  const bool wholeStore = store.Empty() || range.From <= store[0].Time;
  const bool fromSummary = wholeStore && out.Width >= HistorySummary::kRowSeconds &&
                           summary.Points() == store.Size() && summary.HasErrors() == reference.has_value();
  // As wide as whole rows, so that each row falls in one bucket.
  out.Width = fromSummary ? std::ceil(out.Width / HistorySummary::kRowSeconds) * HistorySummary::kRowSeconds
                          : SteadyWidth(out.Width);
  out.Start = std::floor(range.From / out.Width) * out.Width;
  // Enough buckets to reach the range's end, which is one more than asked
  // for unless the rows made them wider.
  const size_t count = std::min(static_cast<size_t>((range.To - out.Start) / out.Width) + 1, buckets + 1);
  out.Rows.assign(count, BucketRow{});
  const size_t last = count - 1;
  auto bucketOf = [&out, last](double t) {
    return std::min(static_cast<size_t>(std::max((t - out.Start) / out.Width, 0.0)), last);
  };

  if (fromSummary) {
    for (const HistorySummary::Row& r : summary.Rows()) {
      BucketRow& into = out.Rows[bucketOf(r.Start)];
      for (size_t s = 0; s < kSeriesCount; ++s) into[s].Merge(r.Buckets[s]);
    }
    return out;
  }
  std::optional<AnchoredFrame> frame;
  if (reference) frame.emplace(*reference, store.Anchor());
  for (size_t i = store.FirstAtOrAfter(range.From); i < store.Size(); ++i) {
    const HistoryPoint& p = store[i];
    if (p.Time > range.To) break;
    AddPoint(out.Rows[bucketOf(p.Time)], p, frame ? &*frame : nullptr);
  }
  return out;
}

}  // namespace stats::history
