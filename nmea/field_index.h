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

  // Integer(k), or `missing` when field k is empty or absent.
  int64_t IntegerOr(int k, int64_t missing) const {
    if (k < 0 || k > commaCount_ || k >= kMaxFields) return missing;
    if (mayHoldStar_) return Found(k) ? Integer(k) : missing;
    const int begin = k == 0 ? 0 : commas_[k - 1] + 1;
    return (k < commaCount_ ? commas_[k] : textLen_) == begin ? missing : Integer(k);
  }

  // IntegerOr(first + i, missing) into out[i] for i below count: the
  // satellite fields of GSV and GSA, read in one walk along the text. Returns
  // a bit per i whose field was empty or absent, so that one conversion can
  // serve callers that want different stand-ins for those.
  uint32_t Integers(int first, int count, int64_t missing, int64_t* out) const {
    uint32_t absent = 0;
    int k = first;
    if (mayHoldStar_ || first < 0) {
      for (; k < first + count; ++k) {
        out[k - first] = IntegerOr(k, missing);
        if (!Found(k)) absent |= 1u << (k - first);
      }
      return absent;
    }
    const int last = std::min(first + count, std::min(commaCount_ + 1, kMaxFields));
    for (; k < last; ++k) {
      // Satellite numbers, elevations, azimuths and SNRs are one to three
      // digits: those lengths are read straight, without a loop whose exit
      // the processor would have to guess field by field.
      const int begin = k == 0 ? 0 : commas_[k - 1] + 1;
      const auto* const d = reinterpret_cast<const uint8_t*>(data_) + begin;
      const uint32_t bit = 1u << (k - first);
      unsigned a, b, c;
      switch ((k < commaCount_ ? commas_[k] : textLen_) - begin) {
        case 0:
          out[k - first] = missing;
          absent |= bit;
          continue;
        case 1:
          a = d[0] - 48u;
          if (a <= 9) {
            out[k - first] = a;
            continue;
          }
          break;
        case 2:
          a = d[0] - 48u;
          b = d[1] - 48u;
          if ((a | b) <= 9) {
            out[k - first] = a * 10 + b;
            continue;
          }
          break;
        case 3:
          a = d[0] - 48u;
          b = d[1] - 48u;
          c = d[2] - 48u;
          if ((a | b | c) <= 9) {
            out[k - first] = a * 100 + b * 10 + c;
            continue;
          }
          break;
        default:
          break;
      }
      out[k - first] = Integer(k);  // longer numbers, signs, spaces, points
    }
    for (; k < first + count; ++k) {
      out[k - first] = missing;
      absent |= 1u << (k - first);
    }
    return absent;
  }

  // IntegerValue((*this)[k]). Most fields are a few plain digits, read here
  // straight from the text; any other byte (a "*" too) takes the general path.
  int64_t Integer(int k) const {
    if (k < 0 || k > commaCount_ || k >= kMaxFields) return 0;
    const char* p = data_ + (k == 0 ? 0 : commas_[k - 1] + 1);
    const char* const e = data_ + (k < commaCount_ ? commas_[k] : textLen_);
    if (e - p <= 18) {
      int64_t v = 0;
      for (; p != e; ++p) {
        const auto d = static_cast<unsigned>(*p - '0');
        if (d > 9) return IntegerValue((*this)[k]);
        v = v * 10 + d;
      }
      return v;
    }
    return IntegerValue((*this)[k]);
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
