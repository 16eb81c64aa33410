#pragma once

#include <cstdint>

#include "nmea_parser.h"

namespace stats {

struct TopSnr {
  uint32_t Sum;    // of the highest non-zero SNRs, at most four
  uint8_t Count;   // how many there were
};

// The four highest non-zero SNRs among the satellites the record holds now,
// as its SatelliteView lists them.
TopSnr TopFourSnr(const CNMEAParser& parser);

}  // namespace stats
