#pragma once

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

class LocalFrame {
 public:
  LocalFrame(double latDeg, double lonDeg, double heightM);

  Enu Offset(double latDeg, double lonDeg, double heightM) const;

  double Lat() const { return lat_; }
  double Lon() const { return lon_; }
  double Height() const { return height_; }

 private:
  double lat_, lon_, height_;
  Ecef origin_;
  double sinLat_, cosLat_, sinLon_, cosLon_;
};

}  // namespace stats
