#pragma once

#include <string>
#include <string_view>

#include "nmea_parser.h"

// The parser's SentenceTotal and navigation record as one JSON object, keys in
// the record's declared order. Reals are written so that they read back to the
// same double (null when not finite); characters become one-character strings.
// In GNSS mode the satellite list follows as GnssInView, GnssUsed and GnssSat.
std::string RecordJson(const CNMEAParser& parser);

// Appends a JSON string; bytes outside printable ASCII are escaped.
void AppendJsonString(std::string& out, std::string_view s);
