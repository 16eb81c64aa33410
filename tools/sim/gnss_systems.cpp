#include "gnss_systems.h"

#include <algorithm>

namespace qvsim {

int systemSize(SimSystem s)
{
    switch (s) {
    case SimSystem::Gps: return 32;
    case SimSystem::Glonass: return 24;
    case SimSystem::Galileo: return 36;
    case SimSystem::BeiDou: return 37;
    case SimSystem::Qzss: return 7;
    }
    return 0;
}

int systemCap(SimSystem s, int perSystem)
{
    return std::min(perSystem, s == SimSystem::Qzss ? 4 : systemSize(s));
}

std::optional<SimSystem> systemByName(std::string_view name)
{
    if (name == "gps") return SimSystem::Gps;
    if (name == "glonass") return SimSystem::Glonass;
    if (name == "galileo") return SimSystem::Galileo;
    if (name == "beidou") return SimSystem::BeiDou;
    if (name == "qzss") return SimSystem::Qzss;
    return std::nullopt;
}

NmeaSatName nmeaName(SimSystem s, int number, NmeaVersion v)
{
    const bool ids = v != NmeaVersion::V2_3;
    switch (s) {
    case SimSystem::Gps: return {"GP", number, ids ? 1 : 0};
    case SimSystem::Glonass: return {"GL", 64 + number, ids ? 2 : 0};
    // Without a system ID in GSA, Galileo and BeiDou need numbers of their own.
    case SimSystem::Galileo: return {"GA", ids ? number : 300 + number, ids ? 3 : 0};
    case SimSystem::BeiDou: return ids ? NmeaSatName{"GB", number, 4} : NmeaSatName{"BD", 400 + number, 0};
    // Before 4.11 QZSS rides along with GPS: GP talker, PRN 193-202, GPS's GSA.
    case SimSystem::Qzss:
        return v == NmeaVersion::V4_11 ? NmeaSatName{"GQ", number, 5} : NmeaSatName{"GP", 192 + number, ids ? 1 : 0};
    }
    return {};
}

// L1-band signal first, then the second band: GPS L1 C/A and L5-Q, GLONASS G1
// and G2, Galileo E1 and E5a, BeiDou B1I and B2a, QZSS L1 C/A and L5-Q.
char signalId(SimSystem s, int band)
{
    switch (s) {
    case SimSystem::Gps: return band == 0 ? '1' : '8';
    case SimSystem::Glonass: return band == 0 ? '1' : '3';
    case SimSystem::Galileo: return band == 0 ? '7' : '1';
    case SimSystem::BeiDou: return band == 0 ? '1' : '5';
    case SimSystem::Qzss: return band == 0 ? '1' : '8';
    }
    return '0';
}

}  // namespace qvsim
