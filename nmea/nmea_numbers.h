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

// Sentence fields are nearly always plain digits, with a point for reals;
// these take those on a short path and leave signs, spaces, exponents and
// long texts to the general ones. They are not inline: a decoder converts a
// dozen fields, and copies of these in every one of them made the decoders
// together outgrow the processor's instruction cache.
int64_t IntegerValue(std::string_view text);
double RealValue(std::string_view text);

}  // namespace nmea
