#include <cstring>

#include "field_index.h"
#include "field_values.h"
#include "nmea_parser.h"

using namespace nmea;

namespace {

template <size_t N>
void CopyId(char (&dest)[N], std::string_view text) {
  static_assert(N >= nmea::FieldIndex::kFieldLimit);
  // A missing field is an empty view with no storage behind it.
  if (!text.empty()) std::memcpy(dest, text.data(), text.size());
  dest[text.size()] = '\0';
}

}  // namespace

// $GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V*hh
//        0 1    2 3   4   5       6 7        8 9     10    11    12
void CNMEAParser::DecodeRMB(const FieldIndex& f) {
  RmbStatus = f.Found(0) ? f[0][0] : 'V';
  RmbXte = f.Found(1) ? RealValue(f[1]) : 0.0;
  RmbSteer = f.Found(2) ? f[2][0] : '?';
  CopyId(RmbFromId, f[3]);
  CopyId(RmbToId, f[4]);
  ReadLatitude(f[5], f[6], RmbToLat);
  ReadLongitude(f[7], f[8], RmbToLon);
  RmbRange = f.Found(9) ? RealValue(f[9]) : 0.0;
  RmbBearing = f.Found(10) ? RealValue(f[10]) : 0.0;
  RmbClosing = f.Found(11) ? RealValue(f[11]) : 0.0;
  RmbArrival = f.Found(12) ? f[12][0] : 'V';
  ++RmbSentences;
}
