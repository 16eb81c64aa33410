#include "field_index.h"
#include "field_values.h"
#include "nmea_parser.h"

using namespace nmea;

// $GPRMC,hhmmss.ss,A,ddmm.mmmm,N,dddmm.mmmm,W,s.s,t.t,ddmmyy,v.v,E*hh
//        0         1 2         3 4          5 6   7   8      9   10
void CNMEAParser::DecodeRMC(const FieldIndex& f) {
  if (f.Found(0)) {
    RmcUtcHour = static_cast<uint8_t>(TwoDigitGroup(f[0], 1));
    RmcUtcMinute = static_cast<uint8_t>(TwoDigitGroup(f[0], 3));
    RmcUtcSecond = static_cast<uint8_t>(TwoDigitGroup(f[0], 5));
  }
  RmcStatus = f.Found(1) ? f[1][0] : 'V';
  if (f.Found(2)) {
    RmcLat = DegreesMinutes(f[2], 2);
    if (StartsWith(f[3], 'S')) RmcLat = -RmcLat;
  }
  if (f.Found(4)) {
    RmcLon = DegreesMinutes(f[4], 3);
    if (StartsWith(f[5], 'W')) RmcLon = -RmcLon;
  }
  RmcSpeedKnots = f.Found(6) ? RealValue(f[6]) : 0.0;
  RmcTrack = f.Found(7) ? RealValue(f[7]) : 0.0;
  if (f.Found(8)) {
    RmcDay = static_cast<uint8_t>(TwoDigitGroup(f[8], 1));
    RmcMonth = static_cast<uint8_t>(TwoDigitGroup(f[8], 3));
    // Two-digit years always count from 2000.
    RmcYear = static_cast<uint16_t>(TwoDigitGroup(f[8], 5) + 2000);
  }
  RmcVariation = f.Found(9) ? RealValue(f[9]) : 0.0;
  if (StartsWith(f[10], 'W')) RmcVariation = -RmcVariation;
  ++RmcSentences;
}
