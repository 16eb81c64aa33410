#include "signal_names.h"

#include <array>

namespace {

using Names = std::array<const char*, 16>;

// Indexed by signal ID. SBAS satellites are sent under the GPS talker and
// its IDs.
constexpr Names kGps = {nullptr, "L1 C/A", "L1 P(Y)", "L1 M", "L2 P(Y)",
                        "L2C-M", "L2C-L",  "L5-I",    "L5-Q"};
constexpr Names kGlonass = {nullptr, "G1 C/A", "G1 P", "G2 C/A", "G2 P"};
constexpr Names kGalileo = {nullptr, "E5a", "E5b", "E5a+b", "E6-A", "E6-BC", "E1-A", "E1-BC"};
constexpr Names kBeiDou = {nullptr, "B1I", "B1Q", "B1C", "B1A", "B2a", "B2b",
                           "B2a+b", "B3I", "B3Q", "B3A", "B2I", "B2Q"};
constexpr Names kQzss = {nullptr, "L1 C/A", "L1C-D", "L1C-P", "L1S", "L2C-M",
                         "L2C-L", "L5-I",   "L5-Q",  "L6D",   "L6E"};
constexpr Names kNavIc = {nullptr, "L5-SPS", "S-SPS", "L5-RS", "S-RS", "L1-SPS"};

const Names& NamesOf(GnssSystem system) {
  switch (system) {
    case GnssSystem::Glonass:
      return kGlonass;
    case GnssSystem::Galileo:
      return kGalileo;
    case GnssSystem::BeiDou:
      return kBeiDou;
    case GnssSystem::Qzss:
      return kQzss;
    case GnssSystem::NavIC:
      return kNavIc;
    case GnssSystem::Gps:
    case GnssSystem::Sbas:
      break;
  }
  return kGps;
}

}  // namespace

const char* SignalName(GnssSystem system, uint8_t signal) {
  return signal < 16 ? NamesOf(system)[signal] : nullptr;
}
