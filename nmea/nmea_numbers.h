#pragma once

#include <cstdint>
#include <string_view>

// Number conversions for sentence fields. They follow C's strtol and strtod
// (leading white space, an optional sign, then as much of a number as the text
// holds; no number gives 0) but never consult the locale: "." is always the
// decimal point, and "inf", "nan" and hexadecimal forms are not numbers.
namespace nmea {

// Decimal integer as strtol reads it with a 64-bit long: out-of-range values
// saturate at the type's limits.
int64_t IntegerValueGeneral(std::string_view text);

// Decimal real as strtod reads it, correctly rounded; out-of-range magnitudes
// give an infinity or zero of the number's sign.
double RealValueGeneral(std::string_view text);

// Sentence fields are nearly always plain digits, with a point for reals; the
// inline paths take those and leave signs, spaces, exponents and long texts to
// the general ones.
inline int64_t IntegerValue(std::string_view text) {
  if (text.empty()) return 0;
  if (text.size() <= 18 && static_cast<unsigned>(text[0] - '0') <= 9) {
    int64_t v = 0;
    for (const char c : text) {
      const auto d = static_cast<unsigned>(c - '0');
      if (d > 9) break;
      v = v * 10 + d;
    }
    return v;
  }
  return IntegerValueGeneral(text);
}

inline double RealValue(std::string_view text) {
  // At most 15 characters: at most 15 digits, so the mantissa is exact, and one
  // division by an exact power of ten rounds correctly.
  if (text.empty()) return 0.0;
  if (text.size() <= 15 && static_cast<unsigned>(text[0] - '0') <= 9) {
    static constexpr double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6, 1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    uint64_t mantissa = 0;
    size_t i = 0;
    for (; i < text.size(); ++i) {
      const auto d = static_cast<unsigned>(text[i] - '0');
      if (d > 9) break;
      mantissa = mantissa * 10 + d;
    }
    size_t fraction = 0;
    if (i < text.size() && text[i] == '.') {
      const size_t first = ++i;
      for (; i < text.size(); ++i) {
        const auto d = static_cast<unsigned>(text[i] - '0');
        if (d > 9) break;
        mantissa = mantissa * 10 + d;
      }
      fraction = i - first;
    }
    if (i == text.size() || (text[i] != 'e' && text[i] != 'E')) {
      // Whole numbers (degrees, counts) skip the division, which gives the
      // same value and costs more than the rest of the conversion.
      return fraction == 0 ? static_cast<double>(mantissa)
                           : static_cast<double>(mantissa) / kPow10[fraction];
    }
  }
  return RealValueGeneral(text);
}

}  // namespace nmea
