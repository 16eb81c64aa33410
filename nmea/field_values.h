#pragma once

#include <cstdint>
#include <string_view>

#include "nmea_numbers.h"

// How the decoders turn a field's text into a record value. Character
// positions past the end of a short field count as absent, so a time "12"
// reads as hour 12, minute 0, second 0.
namespace nmea {

inline std::string_view Chars(std::string_view field, size_t first, size_t count) {
  return first < field.size() ? field.substr(first, count) : std::string_view{};
}

// Characters p and p+1 (counted from 1) as an integer: hh, mm, ss of a time,
// dd, mm, yy of a date.
inline int64_t TwoDigitGroup(std::string_view field, size_t p) {
  return IntegerValue(Chars(field, p - 1, 2));
}

// hhmmss of a time field as hour, minute and second.
inline void TimeOfDay(std::string_view field, uint8_t& hour, uint8_t& minute, uint8_t& second) {
  hour = static_cast<uint8_t>(TwoDigitGroup(field, 1));
  minute = static_cast<uint8_t>(TwoDigitGroup(field, 3));
  second = static_cast<uint8_t>(TwoDigitGroup(field, 5));
}

// The first character's code minus 48, as a fix quality or fix type.
inline uint8_t Digit(std::string_view field) {
  return static_cast<uint8_t>(static_cast<uint8_t>(field[0]) - 48);
}

// ddmm.mmmm for latitudes (2 degree digits), dddmm.mmmm for longitudes (3).
inline double DegreesMinutes(std::string_view field, size_t degreeDigits) {
  return RealValue(Chars(field, 0, degreeDigits)) +
         RealValue(Chars(field, degreeDigits, std::string_view::npos)) / 60.0;
}

inline bool StartsWith(std::string_view field, char c) { return !field.empty() && field[0] == c; }

// A latitude (2 degree digits, negative for 'S') or longitude (3, 'W') and
// the hemisphere field after it; an empty field leaves `value` as it was.
inline void ReadLatitude(std::string_view field, std::string_view hemisphere, double& value) {
  if (field.empty()) return;
  value = DegreesMinutes(field, 2);
  if (StartsWith(hemisphere, 'S')) value = -value;
}
inline void ReadLongitude(std::string_view field, std::string_view hemisphere, double& value) {
  if (field.empty()) return;
  value = DegreesMinutes(field, 3);
  if (StartsWith(hemisphere, 'W')) value = -value;
}

}  // namespace nmea
