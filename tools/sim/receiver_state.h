#pragma once

#include "gnss_systems.h"
#include "utc_time.h"

#include <optional>
#include <string>
#include <vector>

namespace qvsim {

// What a restart command asks the receiver to forget: nothing it knows of the
// sky (hot), the ephemerides (warm) or everything (cold).
enum class StartKind { Hot, Warm, Cold };

// The values NMEA 0183 uses in the GSA fix-type field.
enum class FixMode { None = 1, TwoD = 2, ThreeD = 3 };

struct SatView {
    int prn = 0;
    int elevation = 0;  // degrees
    int azimuth = 0;    // degrees, 0 to 359
    int snr = 0;        // dB-Hz; 0 means not tracked and goes out as an empty field
    // GNSS mode only: the satellite's system (prn is its number within it), the
    // second signal's strength with --dual-band, and whether the fix uses it.
    SimSystem system = SimSystem::Gps;
    int snr2 = 0;
    bool used = false;
};

struct WaypointReport {
    std::string originId;
    std::string destId;
    double destLat = 0.0;
    double destLon = 0.0;
    double crossTrackNm = 0.0;  // positive: right of the track, so steer left
    double rangeNm = 0.0;
    double bearingDeg = 0.0;
    double closingKnots = 0.0;
    bool arrived = false;
};

// What the receiver reports in one cycle: everything the sentences need, nothing more.
struct ReceiverState {
    Centis time = 0;
    FixMode fix = FixMode::None;
    double lat = 0.0;  // degrees, north positive
    double lon = 0.0;  // degrees, east positive
    double altitude = 0.0;  // metres above mean sea level
    double speedKnots = 0.0;
    double courseDeg = 0.0;
    double pdop = 0.0;
    double hdop = 0.0;
    double vdop = 0.0;
    std::vector<SatView> inView;  // in the order GSV lists them
    std::vector<int> usedPrns;    // at most 12, in the order GSA lists them
    std::optional<WaypointReport> waypoint;
    GnssConfig gnss;  // how to send it; off for a GPS-only receiver
};

}  // namespace qvsim
