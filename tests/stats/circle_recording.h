#pragma once
// Synthetic recordings whose fixes lie on circles of known radius around a
// known point, so that the horizontal figures are known in advance.

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "sentence.h"

struct Ring {
  double radius;  // metres
  int count;      // fixes spread evenly around it
};

struct Centre {
  double lat, lon, alt;
};

// One GGA per fix, at 12 Hz from 12:00:00. Every fix is `up` metres above or
// below the centre in turn; "talker" is GP or another. The points come from a
// first-order step along the WGS-84 radii of curvature: they miss their circle
// by r²/R, under 0.02 mm for 10 m, and minutes are written to 1e-8.
inline std::string CircleRecording(const Centre& c, const std::vector<Ring>& rings, double up,
                                   const std::string& talker = "GP") {
  constexpr double a = 6378137.0;
  constexpr double e2 = (1.0 / 298.257223563) * (2.0 - 1.0 / 298.257223563);
  const double phi = c.lat * std::numbers::pi / 180.0;
  const double w = 1.0 - e2 * std::sin(phi) * std::sin(phi);
  const double meridian = a * (1.0 - e2) / (w * std::sqrt(w)) + c.alt;
  const double parallel = (a / std::sqrt(w) + c.alt) * std::cos(phi);
  std::string out;
  int k = 0;
  for (const Ring& ring : rings) {
    for (int i = 0; i < ring.count; ++i, ++k) {
      const double angle = 2.0 * std::numbers::pi * (i + 0.25) / ring.count;
      const double lat = c.lat + ring.radius * std::sin(angle) / meridian * 180.0 / std::numbers::pi;
      const double lon = c.lon + ring.radius * std::cos(angle) / parallel * 180.0 / std::numbers::pi;
      char body[160];
      std::snprintf(body, sizeof body, "%sGGA,12%02d%02d.%02d,%02d%011.8f,%c,%03d%011.8f,%c,1,08,0.8,%.4f,M,47.0,M,,",
                    talker.c_str(), k / 12 / 60 % 60, k / 12 % 60, k % 12 * 8, static_cast<int>(std::fabs(lat)),
                    std::fmod(std::fabs(lat), 1.0) * 60.0, lat < 0 ? 'S' : 'N', static_cast<int>(std::fabs(lon)),
                    std::fmod(std::fabs(lon), 1.0) * 60.0, lon < 0 ? 'W' : 'E',
                    c.alt + (k % 2 == 0 ? up : -up));
      out += Sentence(body) + "\r\n";
    }
  }
  return out;
}
