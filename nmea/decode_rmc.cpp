#include "field_index.h"
#include "field_values.h"
#include "nmea_parser.h"

using namespace nmea;

// $GPRMC,hhmmss.ss,A,ddmm.mmmm,N,dddmm.mmmm,W,s.s,t.t,ddmmyy,v.v,E*hh
//        0         1 2         3 4          5 6   7   8      9   10
void CNMEAParser::DecodeRMC(const FieldIndex& f) {
  if (const std::string_view time = f[0]; !time.empty()) {
    TimeOfDay(time, RmcUtcHour, RmcUtcMinute, RmcUtcSecond);
  }
  const std::string_view status = f[1];
  RmcStatus = status.empty() ? 'V' : status[0];
  ReadLatitude(f[2], f[3], RmcLat);
  ReadLongitude(f[4], f[5], RmcLon);
  // An empty field reads as 0.
  RmcSpeedKnots = RealValue(f[6]);
  RmcTrack = RealValue(f[7]);
  RmcTrackSent = f.Found(7);
  if (const std::string_view date = f[8]; !date.empty()) {
    RmcDay = static_cast<uint8_t>(TwoDigitGroup(date, 1));
    RmcMonth = static_cast<uint8_t>(TwoDigitGroup(date, 3));
    // Two-digit years always count from 2000.
    RmcYear = static_cast<uint16_t>(TwoDigitGroup(date, 5) + 2000);
  }
  RmcVariation = RealValue(f[9]);
  if (StartsWith(f[10], 'W')) RmcVariation = -RmcVariation;
  ++RmcSentences;
}
