#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qvsim {

// The satellite systems a multi-constellation receiver can track here.
enum class SimSystem { Gps, Glonass, Galileo, BeiDou, Qzss };

// What the GNSS sentences carry: 2.3 has neither signal nor system IDs (systems
// are told apart by number range), 4.10 adds the GSV signal ID and the GSA
// system ID, 4.11 also gives QZSS its own talker GQ and system ID 5.
enum class NmeaVersion { V2_3, V4_10, V4_11 };

struct GnssConfig {
    bool enabled = false;
    std::vector<SimSystem> systems{SimSystem::Gps, SimSystem::Glonass, SimSystem::Galileo, SimSystem::BeiDou};
    bool dualBand = false;  // a second signal per satellite, each in its own GSV sequence
    NmeaVersion version = NmeaVersion::V4_10;
};

// How many numbers a system has (GLONASS slots 1-24, BeiDou 1-37 in orbit, ...).
int systemSize(SimSystem s);
// Most satellites of one system in the sky; QZSS has only a few.
int systemCap(SimSystem s, int perSystem);
std::optional<SimSystem> systemByName(std::string_view name);  // "gps", "glonass", ...

// How one satellite goes out in a given NMEA version.
struct NmeaSatName {
    std::string talker;  // of its GSV sequence
    int number = 0;      // as sent in GSV and GSA
    int systemId = 0;    // of the GSA that lists it; 0 in 2.3
};
NmeaSatName nmeaName(SimSystem s, int number, NmeaVersion v);

// The two signal IDs (hex digit) a dual-band receiver reports per system.
char signalId(SimSystem s, int band);

}  // namespace qvsim
