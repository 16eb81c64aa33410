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

// The value of one to three plain digits, the length of nearly every integer
// field (satellite numbers, elevations, azimuths, SNRs, counts, the two-digit
// groups of times and dates); -1 for any other text. Read by length without a
// loop, whose exit the processor would have to guess field by field.
inline int64_t ShortDigits(const char* d, size_t n) {
  if (n == 0 || n > 3) return -1;
  const unsigned a = static_cast<unsigned>(d[0]) - 48u;
  if (n == 1) return a <= 9 ? int64_t{a} : -1;
  const unsigned b = static_cast<unsigned>(d[1]) - 48u;
  if (n == 2) return (a | b) <= 9 ? int64_t{a * 10 + b} : -1;
  const unsigned c = static_cast<unsigned>(d[2]) - 48u;
  return (a | b | c) <= 9 ? int64_t{a * 100 + b * 10 + c} : -1;
}

// Sentence fields are nearly always plain digits, with a point for reals;
// these take those on a short path and leave signs, spaces, exponents and
// long texts to the general ones. They are not inline: a decoder converts a
// dozen fields, and copies of these in every one of them made the decoders
// together outgrow the processor's instruction cache.
int64_t IntegerValue(std::string_view text);
double RealValue(std::string_view text);

}  // namespace nmea
