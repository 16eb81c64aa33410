#pragma once

#include <optional>
#include <string_view>

#include "accuracy_figures.h"

// The fixed reference as the user types it: latitude and longitude in decimal
// degrees, an optional altitude in metres, "." as the decimal point whatever
// the locale (as quorvane-stats --ref takes them).

enum class FieldState { Empty, Valid, Invalid };

struct ReferenceInput {
  FieldState Lat, Lon, Alt;
  // Set when latitude and longitude are valid and the altitude valid or empty;
  // otherwise the mean stays in use.
  std::optional<stats::FixedPoint> Point;
};

ReferenceInput CheckReference(std::string_view lat, std::string_view lon, std::string_view alt);
