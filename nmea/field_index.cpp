#include "field_index.h"

#include <cstring>

namespace nmea {

FieldIndex::FieldIndex(const char* data) : data_(data), commas_(ownCommas_), mayHoldStar_(true) {
  const size_t length = std::strlen(data);
  // Positions are kept in 8 bits; a longer text is indexed up to there.
  textLen_ = static_cast<int>(length < 255 ? length : 255);
  for (int i = 0; i < textLen_ && commaCount_ < kMaxFields; ++i) {
    if (data[i] == ',') ownCommas_[commaCount_++] = static_cast<uint8_t>(i);
  }
}

int FieldIndex::CutAtStar(int begin, int len) const {
  const void* star = std::memchr(data_ + begin, '*', static_cast<size_t>(len));
  return star == nullptr ? len : static_cast<int>(static_cast<const char*>(star) - (data_ + begin));
}

}  // namespace nmea
