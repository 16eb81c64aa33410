#pragma once

#include <cstdint>

#include "gnss_satellites.h"

// The name of an NMEA 4.10/4.11 signal ID of a satellite of `system`, such as
// "L1 C/A" or "E5a"; nullptr for 0 (no signal ID sent) and for an ID the
// standard leaves unassigned.
const char* SignalName(GnssSystem system, uint8_t signal);
