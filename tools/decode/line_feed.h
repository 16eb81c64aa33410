#pragma once

#include <cstddef>
#include <string>

#include "nmea_parser.h"

// Feeds text as a file replay does: split into lines at CR LF, a lone CR or a
// lone LF, each line handed over without its terminator. A zero byte is an
// ordinary byte.
//
// The reader keeps its state between calls, so a line fed in pieces decodes as
// if fed whole: a caller may pass a file in blocks of any size, and a CR LF
// split across two blocks needs no care.
void FeedLines(CNMEAParser& parser, const char* bytes, size_t length);

// Reads the file `name` ("-": standard input) to its end into the parser: as
// lines like FeedLines, or with `raw` the bytes unchanged as one stream.
// Returns false with `error` set to "NAME: reason" when it cannot be read.
bool FeedFile(CNMEAParser& parser, const char* name, bool raw, std::string& error);
