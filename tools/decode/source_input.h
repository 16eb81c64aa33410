#pragma once

#include <string>

#include "nmea_parser.h"

// Receivers behind gpsd or on the network (gpsd://, tcp://, udp://), read
// with the viewer's own sources where the build has Qt Network.

// Whether `name` names such a source rather than a file.
bool IsSourceName(const char* name);

// Reads the source for `seconds` (or until Ctrl+C) into the parser, cut into
// lines at CR as the viewer's live path cuts them. False with `error` set
// when it cannot connect; `ended` says why the source ended before the time.
// `seconds` 0 reads until the source ends or Ctrl+C.
bool FeedSource(CNMEAParser& parser, const char* name, double seconds, std::string& error, std::string& ended);
