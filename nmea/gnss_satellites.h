#pragma once

#include <cstdint>

// The satellite systems a multi-constellation receiver reports.
enum class GnssSystem : uint8_t { Gps, Sbas, Glonass, Galileo, BeiDou, Qzss, NavIC };

inline constexpr int kGnssSystemCount = 7;

// "GPS", "SBAS", "GLONASS", "Galileo", "BeiDou", "QZSS", "NavIC".
const char* GnssSystemName(GnssSystem s);
// 'G', 'S', 'R', 'E', 'C', 'J', 'I', as grid cells label satellites.
char GnssSystemLetter(GnssSystem s);

// One satellite in view. In GNSS mode Snr, Azimuth, Elevation are -1 when the
// sentence left them empty; the default mode's GSV table holds 0 there, and
// any value a field held, which is why they are wider than the degrees and
// dB-Hz they stand for.
struct GnssSat {
  GnssSystem System;
  // Number within its system: GPS 1-32, SBAS its PRN (120-158), GLONASS 1-32,
  // Galileo 1-36, BeiDou 1-63, QZSS 1-10, NavIC 1-14.
  uint16_t Id;
  uint16_t Nmea;  // the number as sent
  int32_t Snr;    // strongest signal reported for this satellite
  int32_t Azimuth;
  int32_t Elevation;
  bool Used;  // in the solution: in GNSS mode the union of the epoch's GSA sentences
};

namespace nmea {

// The talkers GNSS mode reads; None for any other. PQ is the proprietary
// talker under which Quectel's Qualcomm-based modules (EC21, EC25, BG96) send
// BeiDou and QZSS, with the system ID in the last field.
enum class Talker : uint8_t { GP, GN, GL, GA, GB, BD, GQ, GI, PQ, None };
inline constexpr int kTalkerCount = 9;

// The talker of a sentence address such as "GNGGA" (its first two characters).
// QZSS comes as GQ (NMEA 4.11) or, from receivers that name it otherwise, as
// QZ; both read as GQ.
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
  if (address[0] == 'B' && address[1] == 'D') return Talker::BD;
  if (address[0] == 'Q' && address[1] == 'Z') return Talker::GQ;
  return address[0] == 'P' && address[1] == 'Q' ? Talker::PQ : Talker::None;
}

// The talker whose satellites an NMEA 4.10/4.11 system ID (1 GPS, 2 GLONASS,
// 3 Galileo, 4 BeiDou, 5 QZSS, 6 NavIC) names; None for any other ID.
inline Talker TalkerOfSystemId(int64_t systemId) {
  constexpr Talker kBySystemId[] = {Talker::None, Talker::GP, Talker::GL, Talker::GA,
                                    Talker::GB,   Talker::GQ, Talker::GI};
  return systemId >= 1 && systemId <= 6 ? kBySystemId[systemId] : Talker::None;
}

namespace detail {

constexpr bool Take(GnssSystem s, int64_t id, GnssSystem& system, uint16_t& out) {
  system = s;
  out = static_cast<uint16_t>(id);
  return true;
}

// The rules below, as ClassifySatellite applies them through a table.
// Numbers up to 64 mean different satellites for different talkers; above
// that, each range belongs to one system whoever sends it, except that
// 201-202 are QZSS unless a BeiDou talker sends them, and that Galileo's own
// talker means Galileo by 101-136.
constexpr bool ClassifyByRange(Talker talker, int64_t n, GnssSystem& system, uint16_t& id) {
  if (n <= 0) return false;
  // PQ without a system ID: BeiDou, as Quectel's EC21/EC25 send it.
  const bool beidouTalker = talker == Talker::GB || talker == Talker::BD || talker == Talker::PQ;
  // Quectel firmware numbers Galileo 101-136 under GA, over SBAS 120-136.
  if (talker == Talker::GA && n >= 101 && n <= 136) {
    return Take(GnssSystem::Galileo, n - 100, system, id);
  }
  if (n <= 64) {
    switch (talker) {
      case Talker::GB:
      case Talker::BD:
      case Talker::PQ:
        return n <= 63 && Take(GnssSystem::BeiDou, n, system, id);
      case Talker::GA:
        return n <= 36 && Take(GnssSystem::Galileo, n, system, id);
      case Talker::GQ:
        return n <= 10 && Take(GnssSystem::Qzss, n, system, id);
      case Talker::GI:
        return n <= 14 && Take(GnssSystem::NavIC, n, system, id);
      case Talker::GL:
        if (n <= 32) return Take(GnssSystem::Glonass, n, system, id);
        break;
      default:
        if (n <= 32) return Take(GnssSystem::Gps, n, system, id);
        break;
    }
    // 33-64 are the NMEA numbers of SBAS PRNs 120-151.
    return Take(GnssSystem::Sbas, n + 87, system, id);
  }
  if (n <= 96) return Take(GnssSystem::Glonass, n - 64, system, id);
  if (n >= 120 && n <= 158) return Take(GnssSystem::Sbas, n, system, id);
  if (n >= 193 && n <= 202 && !beidouTalker) return Take(GnssSystem::Qzss, n - 192, system, id);
  // BeiDou from 201: Quectel, SkyTraq and SiRF firmware.
  if (n >= 201 && n <= 263) return Take(GnssSystem::BeiDou, n - 200, system, id);
  // Galileo from 301 and BeiDou from 401: u-blox's extended numbering.
  if (n >= 301 && n <= 336) return Take(GnssSystem::Galileo, n - 300, system, id);
  if (n >= 401 && n <= 463) return Take(GnssSystem::BeiDou, n - 400, system, id);
  return false;
}

// No system uses a number above this.
inline constexpr int kNumberedUpTo = 463;

// Per talker (None included) and number: 0 when no system uses it, otherwise
// the system plus 1 times 256 plus the number within the system. Every GSV and
// GSA satellite is looked up, and one load is cheaper than the branches.
inline constexpr auto kSatelliteCodes = [] {
  struct Table {
    uint16_t code[kTalkerCount + 1][kNumberedUpTo + 1];
  } t{};
  for (int talker = 0; talker <= kTalkerCount; ++talker) {
    for (int n = 0; n <= kNumberedUpTo; ++n) {
      GnssSystem system{};
      uint16_t id = 0;
      if (ClassifyByRange(static_cast<Talker>(talker), n, system, id)) {
        t.code[talker][n] = static_cast<uint16_t>((static_cast<int>(system) + 1) << 8 | id);
      }
    }
  }
  return t;
}();

}  // namespace detail

// The system and the number within it of the satellite that `talker` sends as
// `n`. False when no system uses that number for that talker, as for an
// empty or zero field.
inline bool ClassifySatellite(Talker talker, int64_t n, GnssSystem& system, uint16_t& id) {
  if (static_cast<uint64_t>(n) > detail::kNumberedUpTo) return false;
  const uint16_t code = detail::kSatelliteCodes.code[static_cast<int>(talker)][n];
  system = static_cast<GnssSystem>((code >> 8) - 1);
  id = static_cast<uint16_t>(code & 0xFF);
  return code != 0;
}

}  // namespace nmea
