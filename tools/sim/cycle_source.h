#pragma once

#include "nmea_playback.h"
#include "sim_world.h"

#include <optional>
#include <string>
#include <vector>

namespace qvsim {

// Where the sentences come from: the simulated receiver or a recording. Each batch
// of lines is due at a simulated time; the lines are complete, with CR LF.
class CycleSource {
public:
    virtual ~CycleSource() = default;
    // When the next batch is due; nothing once the source has ended.
    virtual std::optional<double> nextAt() const = 0;
    // The batch due at nextAt(); `endsCycle` tells whether it completes a cycle.
    virtual std::vector<std::string> take(bool& endsCycle) = 0;
    // Restarts the receiver at `now`; returns the seconds it will take to the 3D
    // fix, or nothing when the source cannot restart (a recording).
    virtual std::optional<double> restart(double now, StartKind kind) = 0;
    // Called when the first cycle is about to be due; returns how many seconds of
    // wall time to wait before it, so that a clock-driven source starts on a
    // whole second.
    virtual double begin() { return 0.0; }
};

class SimulatedReceiver : public CycleSource {
public:
    // With `followClock` the first cycle carries the next whole second of the
    // system clock; otherwise the configured start time.
    SimulatedReceiver(const WorldConfig& config, bool followClock)
        : config_(config), followClock_(followClock), world_(config)
    {
    }
    std::optional<double> nextAt() const override { return static_cast<double>(cycle_); }
    std::vector<std::string> take(bool& endsCycle) override;
    std::optional<double> restart(double now, StartKind kind) override;
    double begin() override;

private:
    void advanceTo(double t);

    WorldConfig config_;
    bool followClock_;
    World world_;
    long long cycle_ = 0;
    double worldTime_ = 0.0;
};

// Plays cycles at their recorded offsets, or one line every 1/rate seconds.
class RecordingPlayer : public CycleSource {
public:
    RecordingPlayer(std::vector<PlaybackCycle> cycles, double rate, bool loop);
    std::optional<double> nextAt() const override;
    std::vector<std::string> take(bool& endsCycle) override;
    std::optional<double> restart(double, StartKind) override { return std::nullopt; }

private:
    double recordingLength() const;

    std::vector<PlaybackCycle> cycles_;
    double rate_;
    bool loop_;
    std::size_t cycle_ = 0;
    std::size_t line_ = 0;
    long long linesSent_ = 0;
    double loopBase_ = 0.0;
};

}  // namespace qvsim
