#pragma once

#include <cstdint>

// The satellite systems a multi-constellation receiver reports.
enum class GnssSystem : uint8_t { Gps, Sbas, Glonass, Galileo, BeiDou, Qzss, NavIC };

inline constexpr int kGnssSystemCount = 7;

// "GPS", "SBAS", "GLONASS", "Galileo", "BeiDou", "QZSS", "NavIC".
const char* GnssSystemName(GnssSystem s);
// 'G', 'S', 'R', 'E', 'C', 'J', 'I', as grid cells label satellites.
char GnssSystemLetter(GnssSystem s);

// One satellite in view in GNSS mode. Snr, Azimuth, Elevation are -1 when the
// sentence left them empty.
struct GnssSat {
  GnssSystem System;
  // Number within its system: GPS 1-32, SBAS its PRN (120-158), GLONASS 1-32,
  // Galileo 1-36, BeiDou 1-63, QZSS 1-10, NavIC 1-14.
  uint16_t Id;
  uint16_t Nmea;  // the number as sent
  int16_t Snr;    // strongest signal reported for this satellite
  int16_t Azimuth;
  int16_t Elevation;
  bool Used;  // in the union of the current epoch's GSA sentences
};

namespace nmea {

// The talkers GNSS mode reads; None for any other.
enum class Talker : uint8_t { GP, GN, GL, GA, GB, BD, GQ, GI, None };
inline constexpr int kTalkerCount = 8;

// The talker of a sentence address such as "GNGGA" (its first two characters).
inline Talker TalkerOf(const char* address) {
  if (address[0] == 'G') {
    switch (address[1]) {
      case 'P':
        return Talker::GP;
      case 'N':
        return Talker::GN;
      case 'L':
        return Talker::GL;
      case 'A':
        return Talker::GA;
      case 'B':
        return Talker::GB;
      case 'Q':
        return Talker::GQ;
      case 'I':
        return Talker::GI;
      default:
        return Talker::None;
    }
  }
  return address[0] == 'B' && address[1] == 'D' ? Talker::BD : Talker::None;
}

// The talker whose satellites an NMEA 4.10/4.11 system ID (1 GPS, 2 GLONASS,
// 3 Galileo, 4 BeiDou, 5 QZSS, 6 NavIC) names; None for any other ID.
Talker TalkerOfSystemId(int64_t systemId);

// The system and the number within it of the satellite that `talker` sends as
// `number`. False when no system uses that number for that talker, as for an
// empty or zero field.
bool ClassifySatellite(Talker talker, int64_t number, GnssSystem& system, uint16_t& id);

}  // namespace nmea
