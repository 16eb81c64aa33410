#include "field_index.h"
#include "field_values.h"
#include "nmea_parser.h"

using namespace nmea;

// $GPGGA,hhmmss.ss,ddmm.mmmm,N,dddmm.mmmm,E,q,ss,h.h,a.a,M,g.g,M,,*hh
//        0         1         2 3          4 5 6  7   8   9 ...
void CNMEAParser::DecodeGGA(const FieldIndex& f) {
  if (const std::string_view time = f[0]; !time.empty()) {
    TimeOfDay(time, GgaUtcHour, GgaUtcMinute, GgaUtcSecond);
  }
  ReadLatitude(f[1], f[2], GgaLat);
  ReadLongitude(f[3], f[4], GgaLon);
  if (const std::string_view quality = f[5]; !quality.empty()) {
    GgaQuality = static_cast<int8_t>(Digit(quality));
  }
  if (const std::string_view used = f[6]; !used.empty()) {
    GgaSatsUsed = static_cast<int8_t>(IntegerValue(Chars(used, 0, 2)));
  }
  if (const std::string_view hdop = f[7]; !hdop.empty()) GgaHdop = RealValue(hdop);
  if (const std::string_view altitude = f[8]; !altitude.empty()) GgaAltitude = RealValue(altitude);
  if (const std::string_view unit = f[9]; !unit.empty()) GgaAltitudeUnit = unit[0];
  // Bit per field sent (in GgaSent's order), for the listener and for readers
  // of the record that must tell an empty field from the value before it.
  static constexpr int kFieldOfBit[] = {0, 1, 3, 5, 6, 7, 8};
  uint8_t sent = 0;
  for (int bit = 0; bit < 7; ++bit) {
    if (!f[kFieldOfBit[bit]].empty()) sent = static_cast<uint8_t>(sent | 1u << bit);
  }
  GgaFieldsSent = sent;

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

