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

namespace {

bool Take(GnssSystem s, int64_t id, GnssSystem& system, uint16_t& out) {
  system = s;
  out = static_cast<uint16_t>(id);
  return true;
}

}  // namespace

// Numbers up to 64 mean different satellites for different talkers; above
// that, each range belongs to one system whoever sends it, except that
// 201-202 are QZSS unless a BeiDou talker sends them.
bool ClassifySatellite(Talker talker, int64_t n, GnssSystem& system, uint16_t& id) {
  if (n <= 0) return false;
  const bool beidouTalker = talker == Talker::GB || talker == Talker::BD;
  if (n <= 64) {
    switch (talker) {
      case Talker::GB:
      case Talker::BD:
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
  if (n >= 201 && n <= 263) return Take(GnssSystem::BeiDou, n - 200, system, id);
  if (n >= 301 && n <= 336) return Take(GnssSystem::Galileo, n - 300, system, id);
  if (n >= 401 && n <= 463) return Take(GnssSystem::BeiDou, n - 400, system, id);
  return false;
}

}  // namespace nmea
