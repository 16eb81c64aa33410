#include "nmea_numbers.h"

#include <charconv>
#include <cstddef>
#include <limits>

namespace nmea {
namespace {

// The C locale's isspace set.
constexpr bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Position after leading white space and the sign; `negative` tells the sign.
size_t SkipSpaceAndSign(std::string_view t, bool& negative) {
  size_t i = 0;
  while (i < t.size() && IsSpace(t[i])) ++i;
  negative = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
    negative = t[i] == '-';
    ++i;
  }
  return i;
}

// Powers of ten that a double holds exactly.
constexpr double kExactPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                  1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

}  // namespace

int64_t IntegerValueGeneral(std::string_view t) {
  bool negative = false;
  size_t i = SkipSpaceAndSign(t, negative);
  // Magnitudes beyond 2^63 are all alike: they saturate.
  constexpr uint64_t kCap = uint64_t{1} << 63;
  uint64_t magnitude = 0;
  for (; i < t.size() && IsDigit(t[i]); ++i) {
    magnitude = magnitude > kCap / 10 ? kCap + 1
                                      : magnitude * 10 + static_cast<uint64_t>(t[i] - '0');
    if (magnitude > kCap) magnitude = kCap + 1;
  }
  if (negative) {
    return magnitude >= kCap ? std::numeric_limits<int64_t>::min()
                             : -static_cast<int64_t>(magnitude);
  }
  return magnitude >= kCap ? std::numeric_limits<int64_t>::max()
                           : static_cast<int64_t>(magnitude);
}

double RealValueGeneral(std::string_view t) {
  bool negative = false;
  const size_t begin = SkipSpaceAndSign(t, negative);
  size_t i = begin;

  // Match the longest prefix that strtod would take as a decimal number.
  uint64_t mantissa = 0;
  int significant = 0;      // digits in `mantissa`, leading zeros not counted
  int fractionDigits = 0;   // digits after the point
  int leadingZeros = 0;     // zeros before the first non-zero digit
  int integerDigits = 0;
  bool seenNonZero = false;
  bool sawPoint = false;
  int digits = 0;
  for (; i < t.size(); ++i) {
    const char c = t[i];
    if (IsDigit(c)) {
      ++digits;
      if (!sawPoint) ++integerDigits;
      if (c != '0') seenNonZero = true;
      if (!seenNonZero) {
        ++leadingZeros;
        if (sawPoint) ++fractionDigits;
        continue;
      }
      if (significant < 19) mantissa = mantissa * 10 + static_cast<uint64_t>(c - '0');
      ++significant;
      if (sawPoint) ++fractionDigits;
    } else if (c == '.' && !sawPoint) {
      sawPoint = true;
    } else {
      break;
    }
  }
  if (digits == 0) return 0.0;
  bool hasExponent = false;
  size_t exponentStart = 0;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    exponentStart = i + 1;
    size_t j = i + 1;
    if (j < t.size() && (t[j] == '+' || t[j] == '-')) ++j;
    if (j < t.size() && IsDigit(t[j])) {
      while (j < t.size() && IsDigit(t[j])) ++j;
      i = j;
      hasExponent = true;
    }
  }

  double value = 0.0;
  if (!seenNonZero) {
    value = 0.0;
  } else if (!hasExponent && significant <= 15 && fractionDigits <= 22) {
    // Both operands are exact, so one IEEE division rounds correctly.
    value = static_cast<double>(mantissa) / kExactPow10[fractionDigits];
  } else {
    const char* first = t.data() + begin;
    const auto r = std::from_chars(first, t.data() + i, value, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) {
      // Overflow or underflow: tell them apart by the decimal order of the
      // first significant digit.
      int64_t exponent = 0;
      if (hasExponent) {
        constexpr int64_t kFar = 1'000'000'000;
        exponent = IntegerValueGeneral(t.substr(exponentStart, i - exponentStart));
        exponent = exponent > kFar ? kFar : (exponent < -kFar ? -kFar : exponent);
      }
      const int64_t order = int64_t{integerDigits} - leadingZeros - 1 + exponent;
      value = order >= 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
  }
  return negative ? -value : value;
}

int64_t IntegerValue(std::string_view text) {
  const int64_t v = ShortDigits(text.data(), text.size());
  return v >= 0 ? v : IntegerValueGeneral(text);
}

double RealValue(std::string_view text) {
  // At most 15 characters: at most 15 digits, so the mantissa is exact, and one
  // division by an exact power of ten rounds correctly.
  if (text.empty()) return 0.0;
  if (text.size() <= 15 && static_cast<unsigned>(text[0] - '0') <= 9) {
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
                           : static_cast<double>(mantissa) / kExactPow10[fraction];
    }
  }
  return RealValueGeneral(text);
}

}  // namespace nmea
