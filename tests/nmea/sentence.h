#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "nmea_parser.h"

// Wraps a body such as "GPGGA,..." into "$GPGGA,...*hh" with its true checksum.
inline std::string Sentence(std::string_view body) {
  unsigned x = 0;
  for (const char c : body) x ^= static_cast<unsigned char>(c);
  char sum[4];
  std::snprintf(sum, sizeof sum, "%02X", x);
  return "$" + std::string(body) + "*" + sum;
}

inline void Feed(CNMEAParser& p, std::string_view bytes) {
  p.FeedBytes(bytes.data(), static_cast<uint32_t>(bytes.size()));
}
