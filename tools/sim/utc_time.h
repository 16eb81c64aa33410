#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace qvsim {

// Time is kept as whole centiseconds since 1970-01-01 00:00:00 UTC, the resolution
// of the NMEA time fields, so formatting never has to round a fraction up into the
// next second.
using Centis = std::int64_t;

struct UtcFields {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int centi = 0;
};

UtcFields utcFields(Centis t);

// Accepts "YYYY-MM-DDTHH:MM:SS" with an optional fraction of up to two digits and an
// optional trailing "Z"; a space may stand for the "T".
std::optional<Centis> parseUtc(std::string_view text);

// Seconds of the day from an NMEA time field "hhmmss" or "hhmmss.ss".
std::optional<double> parseNmeaTime(std::string_view field);

}  // namespace qvsim
