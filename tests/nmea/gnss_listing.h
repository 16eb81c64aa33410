#pragma once

#include <span>
#include <string>

#include "gnss_satellites.h"

// GNSS mode's satellite list as letter and number, "*" when used, and ":SNR"
// when asked for: "G5*:44 R1:41 ".
inline std::string GnssListing(std::span<const GnssSat> sats, bool snr = false) {
  std::string out;
  for (const GnssSat& s : sats) {
    out += GnssSystemLetter(s.System) + std::to_string(s.Id) + (s.Used ? "*" : "") +
           (snr ? ":" + std::to_string(s.Snr) : "") + " ";
  }
  return out;
}
