#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "nmea_numbers.h"

namespace nmea {

// The fields of one data part, reached through the positions of its commas so
// that a decoder does not rescan the text for every field. Field k reads
// exactly as CNMEAParser::ExtractField(data, k, buf, kFieldLimit) would copy
// it: cut at "*", at most kFieldLimit - 1 characters, and empty when not found.
class FieldIndex {
 public:
  static constexpr int kFieldLimit = 25;
  // The decoders read no field beyond 19 (the signal ID after the last SNR of
  // a GSV sentence).
  static constexpr int kMaxFields = 20;

  // Scans a NUL-terminated data part of at most 255 characters, as the
  // reader stores them.
  explicit FieldIndex(const char* data);
  // Uses the commas the reader noted within the first `textLen` characters of
  // `data`, a text without "*"; `commas` must outlive the index.
  FieldIndex(const char* data, const uint8_t* commas, int commaCount, int textLen)
      : data_(data), commas_(commas), commaCount_(commaCount), textLen_(textLen) {}

  FieldIndex(const FieldIndex&) = delete;
  FieldIndex& operator=(const FieldIndex&) = delete;

  std::string_view operator[](int k) const {
    if (k < 0 || k > commaCount_ || k >= kMaxFields) return {};
    const int begin = k == 0 ? 0 : commas_[k - 1] + 1;
    int len = (k < commaCount_ ? commas_[k] : textLen_) - begin;
    if (mayHoldStar_) len = CutAtStar(begin, len);
    return {data_ + begin, static_cast<size_t>(len < kFieldLimit - 1 ? len : kFieldLimit - 1)};
  }
  bool Found(int k) const { return !(*this)[k].empty(); }
  // Fields in the data part, empty ones included, counted up to kMaxFields + 1.
  int Count() const { return commaCount_ + 1; }

  // The integer of field first + i into out[i] for i below count, or
  // `missing` where the field is empty or absent: the satellite fields of GSV
  // and GSA, read in one walk along the text. Returns a bit per i whose field
  // was empty or absent, so that one conversion can serve callers that want
  // different stand-ins for those.
  uint32_t Integers(int first, int count, int64_t missing, int64_t* out) const {
    uint32_t absent = 0;
    for (int i = 0; i < count; ++i) {
      const std::string_view field = (*this)[first + i];
      if (field.empty()) {
        out[i] = missing;
        absent |= 1u << i;
        continue;
      }
      const int64_t v = ShortDigits(field.data(), field.size());
      out[i] = v >= 0 ? v : IntegerValueGeneral(field);  // signs, spaces, points, long numbers
    }
    return absent;
  }

 private:
  int CutAtStar(int begin, int len) const;

  const char* data_;
  const uint8_t* commas_;
  int commaCount_ = 0;
  int textLen_ = 0;
  bool mayHoldStar_ = false;
  uint8_t ownCommas_[kMaxFields] = {};
};

}  // namespace nmea
