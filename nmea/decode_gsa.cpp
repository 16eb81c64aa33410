#include "field_index.h"
#include "field_values.h"
#include "nmea_parser.h"

using namespace nmea;

// $GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*hh
//        0 1 2..13 (PRNs of the solution)  14  15  16
void CNMEAParser::DecodeGSA(const FieldIndex& f) {
  if (f.Found(0)) GsaSelection = f[0][0];
  if (f.Found(1)) GsaFixType = Digit(f[1]);
  // PRNs are read whole: SBAS satellites have three digits (120 and up), and
  // their first two must not pass for satellite 12.
  int64_t prns[12];
  f.Integers(2, 12, 0, prns);
  for (int slot = 0; slot < 12; ++slot) GsaActivePrn[slot] = static_cast<uint16_t>(prns[slot]);
  GsaPdop = f.Found(14) ? RealValue(f[14]) : 0.0;
  GsaHdop = f.Found(15) ? RealValue(f[15]) : 0.0;
  GsaVdop = f.Found(16) ? RealValue(f[16]) : 0.0;
  ++GsaSentences;
}
