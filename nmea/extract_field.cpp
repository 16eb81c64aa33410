#include "nmea_parser.h"

bool CNMEAParser::ExtractField(const char* data, int32_t index, char* dest, int32_t limit) {
  if (data == nullptr || dest == nullptr || limit <= 0) return false;
  dest[0] = '\0';
  if (index < 0) return false;
  const char* p = data;
  for (int32_t k = 0; k < index; ++k) {
    while (*p != '\0' && *p != ',') ++p;
    if (*p == '\0') return false;
    ++p;
  }
  if (*p == '\0' || *p == ',' || *p == '*') return false;
  int32_t n = 0;
  while (n < limit - 1 && p[n] != '\0' && p[n] != ',' && p[n] != '*') {
    dest[n] = p[n];
    ++n;
  }
  dest[n] = '\0';
  return true;
}
