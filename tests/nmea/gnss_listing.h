#pragma once

#include <string>

#include "nmea_parser.h"

// GNSS mode's satellite list as letter and number, "*" when used, and ":SNR"
// when asked for: "G5*:44 R1:41 ".
inline std::string GnssListing(const CNMEAParser& p, bool snr = false) {
  std::string out;
  for (int i = 0; i < p.GnssInView; ++i) {
    const GnssSat& s = p.GnssSats[i];
    out += GnssSystemLetter(s.System) + std::to_string(s.Id) + (s.Used ? "*" : "") +
           (snr ? ":" + std::to_string(s.Snr) : "") + " ";
  }
  return out;
}
