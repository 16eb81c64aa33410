#include "field_index.h"
#include "field_values.h"
#include "nmea_parser.h"

using namespace nmea;

// $GPZDA,hhmmss.ss,dd,mm,yyyy,zh,zm*hh
//        0         1  2  3    4  5
void CNMEAParser::DecodeZDA(const FieldIndex& f) {
  if (f.Found(0)) {
    TimeOfDay(f[0], ZdaUtcHour, ZdaUtcMinute, ZdaUtcSecond);
  }
  ZdaDay = f.Found(1) ? static_cast<uint8_t>(IntegerValue(f[1])) : 1;
  ZdaMonth = f.Found(2) ? static_cast<uint8_t>(IntegerValue(f[2])) : 1;
  // An empty year is stored as 1, not as the reset value 2000.
  ZdaYear = f.Found(3) ? static_cast<uint16_t>(IntegerValue(f[3])) : 1;
  ZdaZoneHours = f.Found(4) ? static_cast<int8_t>(IntegerValue(f[4])) : 0;
  ZdaZoneMinutes = f.Found(5) ? static_cast<int8_t>(IntegerValue(f[5])) : 0;
  ++ZdaSentences;
}
