#pragma once

#include <cstdint>

// One point of a track: a position sample with what GPX can say about it.
struct TrackPoint {
  enum class Fix : uint8_t { Unknown, TwoD, ThreeD, Dgps, Pps };

  double Lat;  // degrees, within ±90
  double Lon;  // degrees, within ±180
  double Ele;  // metres above mean sea level; only with HasEle
  double Hdop;  // only with HasHdop
  // "YYYY-MM-DDThh:mm:ss[.f...]Z", NUL-terminated; empty while no date is known
  // or when the GGA's time field does not read as a time of day.
  char Time[32];
  int Sat;  // satellites used; -1 when not sent
  Fix FixType;
  bool HasEle;
  bool HasHdop;
};
