#include "nmea_parser.h"

using namespace nmea;

// $GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00*hh
//        0 1 2  3+4i: PRN, elevation, azimuth, SNR of satellite i (0..3)
void CNMEAParser::DecodeGSV(const int64_t* values, uint32_t absent) {
  if ((absent & 1) != 0) return;
  const int64_t messages = values[0];
  if (messages > 9 || messages < 0) return;
  if (messages < 1 || 4 * messages >= kSatTableSize) return;
  // A message number that is missing or 0 has no place in the table.
  const int64_t number = values[1];
  if (number > 9 || number < 1) return;

  if ((absent & 4) == 0) GsvInView = static_cast<uint16_t>(values[2]);
  SatEntry* group = &GsvSat[4 * (number - 1)];
  const int64_t* const sats = values + 3;
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
