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

namespace nmea {

Talker TalkerOfSystemId(int64_t systemId) {
  static constexpr Talker kBySystemId[] = {Talker::None, Talker::GP, Talker::GL, Talker::GA,
                                           Talker::GB,   Talker::GQ, Talker::GI};
  return systemId >= 1 && systemId <= 6 ? kBySystemId[systemId] : Talker::None;
}

}  // namespace nmea
