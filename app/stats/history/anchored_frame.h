#pragma once

#include <array>
#include <cmath>
#include <numbers>

#include "history_store.h"
#include "local_frame.h"

namespace stats::history {

// A reference's east/north/up rotation applied to a store's points, which
// count from the store's anchor: LocalFrame::Offset without converting each
// point from latitude and longitude again.
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

  // How far the origin lies from another frame's, metres.
  double Distance(const AnchoredFrame& other) const {
    return std::hypot(origin_[0] - other.origin_[0], origin_[1] - other.origin_[1], origin_[2] - other.origin_[2]);
  }

 private:
  static double Dot(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
  }
  std::array<double, 3> east_, north_, up_, origin_;
};

}  // namespace stats::history
