#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace stats {

// One GGA fix as the figures need it, kept compactly: a day at 12 Hz is a
// million of them.
struct StatsSample {
  enum Has : uint8_t { kAltitude = 1, kHdop = 2, kSatsUsed = 4 };

  double Lat;  // degrees, as the decoder stores them
  double Lon;
  double Alt;   // metres; only with kAltitude
  double Hdop;  // only with kHdop
  char Time[15];  // the time field as sent, NUL-padded (cut after 15 characters)
  // Satellites in view as the active mode's record holds them when the sample
  // is taken (at most 255); the byte comes from Time, so the sample keeps its size.
  uint8_t InView;
  uint32_t SnrSum;  // of the up to four highest non-zero SNRs in the record
  uint8_t SnrCount;
  int8_t Quality;
  int8_t SatsUsed;  // only with kSatsUsed
  uint8_t Fields;   // Has bits

  bool HasAltitude() const { return (Fields & kAltitude) != 0; }
  bool HasHdop() const { return (Fields & kHdop) != 0; }
  bool HasSatsUsed() const { return (Fields & kSatsUsed) != 0; }
  std::string_view TimeText() const { return {Time, strnlen(Time, sizeof Time)}; }
};

static_assert(sizeof(StatsSample) <= 64, "a sample must stay within 64 bytes");

}  // namespace stats
