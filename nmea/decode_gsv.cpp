#include "field_index.h"
#include "field_values.h"
#include "nmea_parser.h"

using namespace nmea;

// $GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00*hh
//        0 1 2  3+4i: PRN, elevation, azimuth, SNR of satellite i (0..3)
// `sats` holds fields 3 to 18 as integers, 0 where empty.
void CNMEAParser::DecodeGSV(const FieldIndex& f, const int64_t* sats) {
  if (!f.Found(0)) return;
  const int64_t messages = f.Integer(0);
  if (messages > 9 || messages < 0) return;
  if (messages < 1 || 4 * messages >= kSatTableSize) return;
  // A message number that is missing or 0 has no place in the table.
  const int64_t number = f.Integer(1);
  if (number > 9 || number < 1) return;

  if (f.Found(2)) GsvInView = static_cast<uint16_t>(f.Integer(2));
  SatEntry* group = &GsvSat[4 * (number - 1)];
  for (int i = 0; i < 4; ++i) {
    SatEntry& e = group[i];
    e.Prn = static_cast<uint16_t>(sats[4 * i]);
    e.Elevation = static_cast<uint16_t>(sats[4 * i + 1]);
    e.Azimuth = static_cast<uint16_t>(sats[4 * i + 2]);
    e.Snr = static_cast<uint16_t>(sats[4 * i + 3]);
    e.InSolution = IsPrnInSolution(e.Prn) ? 1 : 0;
  }
  ++GsvSentences;
}
