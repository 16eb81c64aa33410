#include "gnss_satellites.h"

const char* GnssSystemName(GnssSystem s) {
  static constexpr const char* kNames[kGnssSystemCount] = {"GPS",     "SBAS",   "GLONASS", "Galileo",
                                                           "BeiDou",  "QZSS",   "NavIC"};
  const auto i = static_cast<unsigned>(s);
  return i < kGnssSystemCount ? kNames[i] : "";
}

char GnssSystemLetter(GnssSystem s) {
  static constexpr char kLetters[kGnssSystemCount] = {'G', 'S', 'R', 'E', 'C', 'J', 'I'};
  const auto i = static_cast<unsigned>(s);
  return i < kGnssSystemCount ? kLetters[i] : '?';
}
