#pragma once

#include "receiver_state.h"
#include "sim_random.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qvsim {

struct Waypoint {
    double lat = 0.0;
    double lon = 0.0;
    std::string name = "WPT1";
};

struct WorldConfig {
    std::uint64_t seed = 1;
    double lat = 51.4779;
    double lon = -0.0015;
    double altitude = 46.0;
    double speedKmh = 36.0;
    double courseDeg = 45.0;
    double turnDegPerSecond = 0.0;
    double acquireSeconds = 10.0;  // from power-up or cold start to the 3D fix
    std::optional<double> warmAcquireSeconds;  // default: a third of acquireSeconds
    double hotAcquireSeconds = 2.0;
    double acquireSpread = 0.0;  // each acquisition varies uniformly by this much either way
    int satellites = 12;
    int snrThreshold = 30;  // dB-Hz a satellite needs to be used in the solution
    std::optional<Waypoint> waypoint;
    Centis startTime = 0;
    GnssConfig gnss;  // with gnss.enabled, `satellites` counts per system
};

// The receiver's surroundings and what it knows of them: a vehicle on a route, a
// sky of satellites that drift, and the acquisition after power-up or a cold start.
class World {
public:
    explicit World(const WorldConfig& config);

    // Moves simulated time on; the vehicle and the satellites move with it.
    void advance(double seconds);
    // Forgets the fix and every tracked satellite and acquires again from now,
    // taking as long as the kind of start needs; returns that time in seconds.
    double restart(StartKind kind);
    void coldStart() { restart(StartKind::Cold); }
    double acquisitionSeconds() const { return acquisition_; }

    FixMode fix() const;
    double secondsSinceAcquireStart() const { return elapsed_ - acquireStart_; }
    Centis time() const { return time_; }
    ReceiverState state() const;

private:
    struct Satellite {
        int prn = 0;  // in GNSS mode the number within its system
        SimSystem system = SimSystem::Gps;
        double secondSignalOffset = 0.0;  // dB of the second band against the first
        double elevation = 0.0;
        double azimuth = 0.0;
        double elevationRate = 0.0;  // degrees per second
        double azimuthRate = 0.0;
        double snrOffset = 0.0;
        double snrNoise = 0.0;
        double foundAfter = 0.0;  // seconds after the acquisition start
    };

    void scheduleAcquisition(double seconds);
    int snrOf(const Satellite& sat) const;
    bool tracked(const Satellite& sat) const;
    std::vector<int> solutionPrns() const;
    std::vector<std::size_t> solution() const;
    void addGnssSky();
    void shuffle(std::vector<int>& numbers);
    Satellite newSatellite(int prn);
    WaypointReport waypointReport() const;

    WorldConfig config_;
    SimRandom random_;
    // Its own stream, so that a spread leaves the sky of a seed as it was.
    SimRandom spreadRandom_;
    std::vector<Satellite> sky_;
    double lat_;
    double lon_;
    double course_;
    double elapsed_ = 0.0;
    double acquireStart_ = 0.0;
    double acquisition_ = 0.0;
    Centis time_;
};

}  // namespace qvsim
