#pragma once

#include <cstdint>
#include <string_view>

namespace nmea {

// The fields of one data part, found in a single pass so that a decoder does
// not rescan the text for every field. Field k reads exactly as
// CNMEAParser::ExtractField(data, k, buf, kFieldLimit) would copy it: cut at
// "*", at most kFieldLimit - 1 characters, and empty when not found.
class FieldIndex {
 public:
  static constexpr int kFieldLimit = 25;
  // The decoders read no field beyond 18 (the last SNR of a GSV sentence).
  static constexpr int kMaxFields = 20;

  explicit FieldIndex(const char* data);
  // From the positions of the commas within the first `textLen` characters of
  // `data` (a text without "*"), as the reader notes them.
  FieldIndex(const char* data, const uint8_t* commas, int commaCount, int textLen);

  std::string_view operator[](int k) const {
    if (k < 0 || k >= count_) return {};
    return {data_ + start_[k], len_[k]};
  }
  bool Found(int k) const { return !(*this)[k].empty(); }

 private:
  const char* data_;
  int count_ = 0;
  uint16_t start_[kMaxFields];
  uint8_t len_[kMaxFields];
};

}  // namespace nmea
