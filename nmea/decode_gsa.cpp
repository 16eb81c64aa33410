#include "field_index.h"
#include "field_values.h"
#include "nmea_parser.h"

using namespace nmea;

// $GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*hh
//        0 1 2..13 (PRNs of the solution)  14  15  16
void CNMEAParser::DecodeGSA(const FieldIndex& f) {
  const std::string_view selection = f[0];
  const std::string_view fixType = f[1];
  if (!selection.empty()) GsaSelection = selection[0];
  if (!fixType.empty()) GsaFixType = Digit(fixType);
  // PRNs are read whole: SBAS satellites have three digits (120 and up), and
  // their first two must not pass for satellite 12.
  int64_t prns[12];
  f.Integers(2, 12, 0, prns);
  for (int slot = 0; slot < 12; ++slot) GsaActivePrn[slot] = static_cast<uint16_t>(prns[slot]);
  GsaPdop = RealValue(f[14]);
  GsaHdop = RealValue(f[15]);
  GsaVdop = RealValue(f[16]);
  ++GsaSentences;
}
