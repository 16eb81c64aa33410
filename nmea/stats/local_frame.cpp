#include "local_frame.h"

#include <cmath>
#include <numbers>

namespace stats {

namespace {

constexpr double kRadPerDeg = std::numbers::pi / 180.0;
constexpr double kE2 = kWgs84F * (2.0 - kWgs84F);  // first eccentricity squared

}  // namespace

Ecef ToEcef(double latDeg, double lonDeg, double heightM) {
  const double lat = latDeg * kRadPerDeg;
  const double lon = lonDeg * kRadPerDeg;
  const double sinLat = std::sin(lat);
  const double cosLat = std::cos(lat);
  // Prime vertical radius of curvature.
  const double n = kWgs84A / std::sqrt(1.0 - kE2 * sinLat * sinLat);
  return {(n + heightM) * cosLat * std::cos(lon), (n + heightM) * cosLat * std::sin(lon),
          (n * (1.0 - kE2) + heightM) * sinLat};
}

LocalFrame::LocalFrame(double latDeg, double lonDeg, double heightM)
    : lat_(latDeg),
      lon_(lonDeg),
      height_(heightM),
      origin_(ToEcef(latDeg, lonDeg, heightM)),
      sinLat_(std::sin(latDeg * kRadPerDeg)),
      cosLat_(std::cos(latDeg * kRadPerDeg)),
      sinLon_(std::sin(lonDeg * kRadPerDeg)),
      cosLon_(std::cos(lonDeg * kRadPerDeg)) {}

Enu LocalFrame::Offset(double latDeg, double lonDeg, double heightM) const {
  const Ecef p = ToEcef(latDeg, lonDeg, heightM);
  const double dx = p.X - origin_.X;
  const double dy = p.Y - origin_.Y;
  const double dz = p.Z - origin_.Z;
  return {-sinLon_ * dx + cosLon_ * dy,
          -sinLat_ * cosLon_ * dx - sinLat_ * sinLon_ * dy + cosLat_ * dz,
          cosLat_ * cosLon_ * dx + cosLat_ * sinLon_ * dy + sinLat_ * dz};
}

}  // namespace stats
