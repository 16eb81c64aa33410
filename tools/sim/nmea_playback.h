#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qvsim {

// The sentences of one receiver cycle and when it started, in seconds after the
// recording's first cycle.
struct PlaybackCycle {
    double offset = 0.0;
    std::vector<std::string> lines;  // without CR LF
};

// The UTC time stamp of a sentence that carries one (GGA, RMC, ZDA, GLL, GNS, GST,
// GBS, GRS from any talker), as seconds of the day.
std::optional<double> sentenceTime(std::string_view line);

// Cuts a recording into cycles: a new cycle starts where the time stamp changes.
// Lines before the first time stamp belong to the first cycle. Empty lines and
// "#" comment lines are skipped. A step backwards or longer than a minute (a gap
// or a cut between two recordings) counts as one second.
std::vector<PlaybackCycle> splitRecording(std::string_view text);

}  // namespace qvsim
