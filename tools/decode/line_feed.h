#pragma once

#include <cstddef>

#include "nmea_parser.h"

// Feeds text as a file replay does: split into lines at CR LF, a lone CR or a
// lone LF, each line handed over without its terminator. A zero byte is an
// ordinary byte.
//
// The reader keeps its state between calls, so a line fed in pieces decodes as
// if fed whole: a caller may pass a file in blocks of any size, and a CR LF
// split across two blocks needs no care.
void FeedLines(CNMEAParser& parser, const char* bytes, size_t length);
