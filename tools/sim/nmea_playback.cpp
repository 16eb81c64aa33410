#include "nmea_playback.h"

#include "utc_time.h"

#include <cmath>

namespace qvsim {

namespace {

std::string_view field(std::string_view line, int index)
{
    const std::size_t star = line.find('*');
    line = line.substr(0, star);
    for (int i = 0; i < index; ++i) {
        const std::size_t comma = line.find(',');
        if (comma == std::string_view::npos)
            return {};
        line.remove_prefix(comma + 1);
    }
    return line.substr(0, line.find(','));
}

}  // namespace

// $GPGGA,hhmmss.ss,...   $GPGLL,lat,N,lon,E,hhmmss.ss,...
std::optional<double> sentenceTime(std::string_view line)
{
    if (line.size() < 7 || line[0] != '$')
        return std::nullopt;
    const std::string_view type = line.substr(3, 3);
    int index = 0;
    if (type == "GGA" || type == "RMC" || type == "ZDA" || type == "GNS" || type == "GST" || type == "GBS"
        || type == "GRS")
        index = 1;
    else if (type == "GLL")
        index = 5;
    else
        return std::nullopt;
    const std::string_view stamp = field(line, index);
    if (stamp.empty())
        return std::nullopt;
    return parseNmeaTime(stamp);
}

std::vector<PlaybackCycle> splitRecording(std::string_view text)
{
    std::vector<PlaybackCycle> cycles;
    std::optional<double> current;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line[0] == '#')
            continue;
        const std::optional<double> stamp = sentenceTime(line);
        if (cycles.empty()) {
            cycles.push_back({});
        } else if (stamp && current && std::fabs(*stamp - *current) > 1e-6) {
            double step = std::fmod(*stamp - *current + 86400.0, 86400.0);
            if (step <= 0.0 || step > 60.0)
                step = 1.0;
            cycles.push_back({cycles.back().offset + step, {}});
        }
        if (stamp)
            current = stamp;
        cycles.back().lines.emplace_back(line);
    }
    return cycles;
}

}  // namespace qvsim
