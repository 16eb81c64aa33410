#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// WGS-84 geodetic positions as metres east, north and up of a reference point:
// geodetic to earth-centred earth-fixed (ECEF), then rotated into the local
// east/north/up frame at the reference. Double precision throughout.
namespace stats {

inline constexpr double kWgs84A = 6378137.0;
inline constexpr double kWgs84F = 1.0 / 298.257223563;

struct Ecef {
  double X, Y, Z;
};

struct Enu {
  double East, North, Up;
};

// Latitude and longitude in degrees, height in metres.
Ecef ToEcef(double latDeg, double lonDeg, double heightM);

// What ToEcef computes from the latitude alone and from the longitude alone.
struct LatitudeTerms {
  double Sin, Cos, N;  // N: the prime vertical radius of curvature
};
struct LongitudeTerms {
  double Sin, Cos;
};
LatitudeTerms OfLatitude(double latDeg);
LongitudeTerms OfLongitude(double lonDeg);
Ecef ToEcef(const LatitudeTerms& lat, const LongitudeTerms& lon, double heightM);

// ToEcef for many positions that repeat their latitudes and longitudes, as a
// fixed antenna's do: a receiver reports them in steps of 1e-4 or 1e-5
// minutes, so a day of its fixes holds some hundreds of distinct values of
// each. The terms of the values met last are kept by value, which saves the
// sines and cosines; the results are ToEcef's to the bit.
class RepeatingEcef {
 public:
  RepeatingEcef() : lat_(kSlots), lon_(kSlots) {}
  Ecef operator()(double latDeg, double lonDeg, double heightM);

 private:
  static constexpr int kSlotBits = 9;
  static constexpr size_t kSlots = size_t{1} << kSlotBits;
  template <typename Terms>
  struct Slot {
    uint64_t Key = 0;  // the degrees' bits
    bool Set = false;
    Terms Value{};
  };
  std::vector<Slot<LatitudeTerms>> lat_;
  std::vector<Slot<LongitudeTerms>> lon_;
};

class LocalFrame {
 public:
  LocalFrame(double latDeg, double lonDeg, double heightM);

  Enu Offset(double latDeg, double lonDeg, double heightM) const;
  Enu Offset(const Ecef& p) const;

  double Lat() const { return lat_; }
  double Lon() const { return lon_; }
  double Height() const { return height_; }

 private:
  double lat_, lon_, height_;
  Ecef origin_;
  double sinLat_, cosLat_, sinLon_, cosLon_;
};

}  // namespace stats
