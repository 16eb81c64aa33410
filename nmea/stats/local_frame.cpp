#include "local_frame.h"

#include <bit>
#include <cmath>
#include <numbers>

namespace stats {

namespace {

constexpr double kRadPerDeg = std::numbers::pi / 180.0;
constexpr double kE2 = kWgs84F * (2.0 - kWgs84F);  // first eccentricity squared

}  // namespace

LatitudeTerms OfLatitude(double latDeg) {
  const double lat = latDeg * kRadPerDeg;
  const double sinLat = std::sin(lat);
  return {sinLat, std::cos(lat), kWgs84A / std::sqrt(1.0 - kE2 * sinLat * sinLat)};
}

LongitudeTerms OfLongitude(double lonDeg) {
  const double lon = lonDeg * kRadPerDeg;
  return {std::sin(lon), std::cos(lon)};
}

Ecef ToEcef(const LatitudeTerms& lat, const LongitudeTerms& lon, double heightM) {
  return {(lat.N + heightM) * lat.Cos * lon.Cos, (lat.N + heightM) * lat.Cos * lon.Sin,
          (lat.N * (1.0 - kE2) + heightM) * lat.Sin};
}

Ecef ToEcef(double latDeg, double lonDeg, double heightM) {
  return ToEcef(OfLatitude(latDeg), OfLongitude(lonDeg), heightM);
}

namespace {

// The slot of a value by its bits (Fibonacci hashing), and whether it holds it.
template <typename Slot, typename Compute>
const auto& Lookup(std::vector<Slot>& slots, int slotBits, double degrees, Compute compute) {
  const auto key = std::bit_cast<uint64_t>(degrees);
  Slot& slot = slots[(key * 0x9E3779B97F4A7C15u) >> (64 - slotBits)];
  if (!slot.Set || slot.Key != key) slot = {key, true, compute(degrees)};
  return slot.Value;
}

}  // namespace

Ecef RepeatingEcef::operator()(double latDeg, double lonDeg, double heightM) {
  return ToEcef(Lookup(lat_, kSlotBits, latDeg, OfLatitude), Lookup(lon_, kSlotBits, lonDeg, OfLongitude),
                heightM);
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
  return Offset(ToEcef(latDeg, lonDeg, heightM));
}

Enu LocalFrame::Offset(const Ecef& p) const {
  const double dx = p.X - origin_.X;
  const double dy = p.Y - origin_.Y;
  const double dz = p.Z - origin_.Z;
  return {-sinLon_ * dx + cosLon_ * dy,
          -sinLat_ * cosLon_ * dx - sinLat_ * sinLon_ * dy + cosLat_ * dz,
          cosLat_ * cosLon_ * dx + cosLat_ * sinLon_ * dy + sinLat_ * dz};
}

}  // namespace stats
