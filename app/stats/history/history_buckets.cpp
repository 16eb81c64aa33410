#include "history_buckets.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace stats::history {

namespace {

// The reference's east/north/up rotation applied to positions relative to the
// store's anchor: LocalFrame::Offset without converting each sample again.
class AnchoredFrame {
 public:
  AnchoredFrame(const LocalFrame& ref, const Ecef& anchor) {
    const double lat = ref.Lat() * std::numbers::pi / 180.0;
    const double lon = ref.Lon() * std::numbers::pi / 180.0;
    const double sLat = std::sin(lat), cLat = std::cos(lat), sLon = std::sin(lon), cLon = std::cos(lon);
    east_ = {-sLon, cLon, 0.0};
    north_ = {-sLat * cLon, -sLat * sLon, cLat};
    up_ = {cLat * cLon, cLat * sLon, sLat};
    const Ecef o = ToEcef(ref.Lat(), ref.Lon(), ref.Height());
    origin_ = {o.X - anchor.X, o.Y - anchor.Y, o.Z - anchor.Z};
  }

  Enu Offset(const HistoryPoint& p) const {
    const std::array<double, 3> d = {p.X - origin_[0], p.Y - origin_[1], p.Z - origin_[2]};
    return {Dot(east_, d), Dot(north_, d), Dot(up_, d)};
  }

 private:
  static double Dot(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
  }
  std::array<double, 3> east_, north_, up_, origin_;
};

}  // namespace

Decimated Decimate(const HistoryStore& store, TimeRange range, size_t buckets,
                   const std::optional<LocalFrame>& reference) {
  Decimated out;
  out.Range = range;
  buckets = std::max<size_t>(buckets, 1);
  const double span = range.To - range.From;
  out.Width = span > 0.0 ? span / static_cast<double>(buckets) : 1.0;
  for (auto& b : out.Buckets) b.assign(buckets, Bucket{});
  auto at = [&out](Series s) { return out.Buckets[static_cast<size_t>(s)].data(); };
  Bucket* const used = at(Series::SatsUsed);
  Bucket* const inView = at(Series::InView);
  Bucket* const hdop = at(Series::Hdop);
  Bucket* const snr = at(Series::Snr);
  Bucket* const horizontal = at(Series::Horizontal);
  Bucket* const up = at(Series::Up);
  std::optional<AnchoredFrame> frame;
  if (reference) frame.emplace(*reference, store.Anchor());

  const double perSecond = 1.0 / out.Width;
  const size_t last = buckets - 1;
  for (size_t i = store.FirstAtOrAfter(range.From); i < store.Size(); ++i) {
    const HistoryPoint& p = store[i];
    if (p.Time > range.To) break;
    const size_t k = std::min(static_cast<size_t>((p.Time - range.From) * perSecond), last);
    inView[k].Add(p.InView);
    if (p.Fields & HistoryPoint::kSatsUsed) used[k].Add(p.SatsUsed);
    if (p.Fields & HistoryPoint::kHdop) hdop[k].Add(p.Hdop);
    if (p.Fields & HistoryPoint::kSnr) snr[k].Add(p.Snr);
    if (frame) {
      const Enu e = frame->Offset(p);
      horizontal[k].Add(std::sqrt(e.East * e.East + e.North * e.North));
      if (p.Fields & HistoryPoint::kAltitude) up[k].Add(e.Up);
    }
  }
  return out;
}

}  // namespace stats::history
