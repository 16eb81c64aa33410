#include "app/stats/near_offsets.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kRadPerDeg = std::numbers::pi / 180.0;
constexpr double kE2 = stats::kWgs84F * (2.0 - stats::kWgs84F);
// Below it the series' first left-out terms (x⁷/5040, x⁸/40320) are under 1e-17.
constexpr double kNear = 0.01;

struct SinCos {
  double Sin, Cos;
};

SinCos Small(double x) {
  const double x2 = x * x;
  return {x * (1.0 - x2 / 6.0 * (1.0 - x2 / 20.0)), 1.0 - x2 / 2.0 * (1.0 - x2 / 12.0 * (1.0 - x2 / 30.0))};
}

// sin and cos of a + d from a's and the small d's.
SinCos Sum(double sinA, double cosA, SinCos d) {
  return {sinA * d.Cos + cosA * d.Sin, cosA * d.Cos - sinA * d.Sin};
}

}  // namespace

NearOffsets::NearOffsets(const stats::LocalFrame& frame)
    : frame_(frame),
      origin_(stats::ToEcef(frame.Lat(), frame.Lon(), frame.Height())),
      sinLat_(std::sin(frame.Lat() * kRadPerDeg)),
      cosLat_(std::cos(frame.Lat() * kRadPerDeg)),
      sinLon_(std::sin(frame.Lon() * kRadPerDeg)),
      cosLon_(std::cos(frame.Lon() * kRadPerDeg)) {}

NearOffsets::EastNorth NearOffsets::Offset(double latDeg, double lonDeg, double heightM) const {
  const double dLat = (latDeg - frame_.Lat()) * kRadPerDeg;
  const double dLon = (lonDeg - frame_.Lon()) * kRadPerDeg;
  // Written so that NaN goes the exact way too.
  if (!(std::fabs(dLat) < kNear && std::fabs(dLon) < kNear)) {
    const stats::Enu o = frame_.Offset(latDeg, lonDeg, heightM);
    return {o.East, o.North};
  }
  const SinCos lat = Sum(sinLat_, cosLat_, Small(dLat));
  const SinCos lon = Sum(sinLon_, cosLon_, Small(dLon));
  const double n = stats::kWgs84A / std::sqrt(1.0 - kE2 * lat.Sin * lat.Sin);
  const double dx = (n + heightM) * lat.Cos * lon.Cos - origin_.X;
  const double dy = (n + heightM) * lat.Cos * lon.Sin - origin_.Y;
  const double dz = (n * (1.0 - kE2) + heightM) * lat.Sin - origin_.Z;
  return {-sinLon_ * dx + cosLon_ * dy, -sinLat_ * cosLon_ * dx - sinLat_ * sinLon_ * dy + cosLat_ * dz};
}
