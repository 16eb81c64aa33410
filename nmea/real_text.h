#pragma once

#include <string>

namespace nmea {

// Appends the shortest text that reads back to the same double, or "null"
// (JSON's word) when the value is not finite: the one way every writer of
// decoded values and figures prints a real.
void AppendReal(std::string& out, double v);

}  // namespace nmea
