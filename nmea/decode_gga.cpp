#include "field_index.h"
#include "field_values.h"
#include "nmea_parser.h"

using namespace nmea;

// $GPGGA,hhmmss.ss,ddmm.mmmm,N,dddmm.mmmm,E,q,ss,h.h,a.a,M,g.g,M,,*hh
//        0         1         2 3          4 5 6  7   8   9 ...
void CNMEAParser::DecodeGGA(const FieldIndex& f) {
  if (f.Found(0)) {
    GgaUtcHour = static_cast<uint8_t>(TwoDigitGroup(f[0], 1));
    GgaUtcMinute = static_cast<uint8_t>(TwoDigitGroup(f[0], 3));
    GgaUtcSecond = static_cast<uint8_t>(TwoDigitGroup(f[0], 5));
  }
  if (f.Found(1)) {
    GgaLat = DegreesMinutes(f[1], 2);
    if (StartsWith(f[2], 'S')) GgaLat = -GgaLat;
  }
  if (f.Found(3)) {
    GgaLon = DegreesMinutes(f[3], 3);
    if (StartsWith(f[4], 'W')) GgaLon = -GgaLon;
  }
  if (f.Found(5)) GgaQuality = static_cast<int8_t>(Digit(f[5]));
  if (f.Found(6)) GgaSatsUsed = static_cast<int8_t>(IntegerValue(Chars(f[6], 0, 2)));
  if (f.Found(7)) GgaHdop = RealValue(f[7]);
  if (f.Found(8)) GgaAltitude = RealValue(f[8]);

  // Minutes and seconds only: across the top of the hour the time seems to go
  // back, and the rate waits for the next sentence.
  const int32_t t = GgaUtcMinute * 60 + GgaUtcSecond;
  if (t > GgaPrevTimeSec) {
    GgaClimbRate = (GgaAltitude - GgaPrevAltitude) / ((t - GgaPrevTimeSec) / 60.0);
  }
  GgaPrevAltitude = GgaAltitude;
  GgaPrevTimeSec = t;
  ++GgaSentences;
}
