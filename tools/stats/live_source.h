#pragma once

#include <string>

#include "nmea_parser.h"
#include "sample_collector.h"

namespace stats_tool {

// Whether SOURCE names a serial port (a terminal device, or a bare name such
// as ttyUSB0 under /dev/) rather than a recording.
bool IsSerialPort(const std::string& source);

// Feeds what the port sends, cut into lines as the viewer's live path cuts them, for
// `seconds` (0: until Ctrl-C), or until the port hangs up or SIGINT. While
// stderr is a terminal, says once a minute how many samples there are.
// Returns false with `error` set when the port cannot be opened.
bool ReadSerialPort(CNMEAParser& parser, const stats::SampleCollector& samples, const std::string& port,
                    unsigned baud, double seconds, std::string& error);

}  // namespace stats_tool
