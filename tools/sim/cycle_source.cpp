#include "cycle_source.h"

#include "gnss_builder.h"
#include "nmea_builder.h"

#include <chrono>
#include <cmath>

namespace qvsim {

void SimulatedReceiver::advanceTo(double t)
{
    if (t > worldTime_) {
        world_.advance(t - worldTime_);
        worldTime_ = t;
    }
}

std::vector<std::string> SimulatedReceiver::take(bool& endsCycle)
{
    advanceTo(static_cast<double>(cycle_));
    ++cycle_;
    endsCycle = true;
    const ReceiverState state = world_.state();
    return state.gnss.enabled ? buildGnssCycle(state) : buildCycle(state);
}

double SimulatedReceiver::begin()
{
    if (!followClock_)
        return 0.0;
    const double now =
        std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
    const double second = std::ceil(now);
    config_.startTime = static_cast<Centis>(second) * 100;
    world_ = World(config_);
    return second - now;
}

std::optional<double> SimulatedReceiver::restart(double now, StartKind kind)
{
    advanceTo(now);
    return world_.restart(kind);
}

RecordingPlayer::RecordingPlayer(std::vector<PlaybackCycle> cycles, double rate, bool loop)
    : cycles_(std::move(cycles)), rate_(rate), loop_(loop)
{
}

// A loop goes on one second (or one line) after the last cycle, as if the
// recording had one more.
double RecordingPlayer::recordingLength() const
{
    return cycles_.empty() ? 0.0 : cycles_.back().offset + 1.0;
}

std::optional<double> RecordingPlayer::nextAt() const
{
    if (cycle_ >= cycles_.size())
        return std::nullopt;
    if (rate_ > 0)
        return static_cast<double>(linesSent_) / rate_;
    return loopBase_ + cycles_[cycle_].offset;
}

std::vector<std::string> RecordingPlayer::take(bool& endsCycle)
{
    std::vector<std::string> out;
    const PlaybackCycle& current = cycles_[cycle_];
    if (rate_ > 0) {
        out.push_back(current.lines[line_++] + "\r\n");
        ++linesSent_;
    } else {
        for (const std::string& line : current.lines)
            out.push_back(line + "\r\n");
        line_ = current.lines.size();
    }
    endsCycle = line_ >= current.lines.size();
    if (endsCycle) {
        line_ = 0;
        if (++cycle_ >= cycles_.size() && loop_) {
            cycle_ = 0;
            loopBase_ += recordingLength();
        }
    }
    return out;
}

}  // namespace qvsim
