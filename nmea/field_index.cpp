#include "field_index.h"

namespace nmea {

FieldIndex::FieldIndex(const char* data) : data_(data) {
  const char* p = data;
  for (;;) {
    const char* begin = p;
    while (*p != '\0' && *p != ',' && *p != '*') ++p;
    const auto len = p - begin;
    start_[count_] = static_cast<uint16_t>(begin - data);
    len_[count_] = static_cast<uint8_t>(len < kFieldLimit - 1 ? len : kFieldLimit - 1);
    ++count_;
    // Only commas separate fields; text after a "*" within a field is skipped.
    while (*p != '\0' && *p != ',') ++p;
    if (*p == '\0' || count_ == kMaxFields) break;
    ++p;
  }
}

FieldIndex::FieldIndex(const char* data, const uint8_t* commas, int commaCount, int textLen)
    : data_(data) {
  int begin = 0;
  for (;;) {
    const int end = count_ < commaCount ? commas[count_] : textLen;
    const int len = end - begin;
    start_[count_] = static_cast<uint16_t>(begin);
    len_[count_] = static_cast<uint8_t>(len < kFieldLimit - 1 ? len : kFieldLimit - 1);
    ++count_;
    if (count_ > commaCount || count_ == kMaxFields) break;
    begin = end + 1;
  }
}

}  // namespace nmea
