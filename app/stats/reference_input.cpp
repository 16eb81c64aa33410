#include "app/stats/reference_input.h"

#include <charconv>
#include <cmath>

namespace {

struct Field {
  FieldState State;
  double Value;
};

// A finished number within [lo, hi]; a half-typed one ("-", "12.", "1e")
// is invalid until it is finished.
Field Check(std::string_view text, double lo, double hi) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty()) return {FieldState::Empty, 0.0};
  if (text.front() == '+') text.remove_prefix(1);
  double v = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
  const bool whole = error == std::errc() && end == text.data() + text.size() && !text.empty() &&
                     text.back() != '.' && text.front() != '+';
  if (!whole || !std::isfinite(v) || v < lo || v > hi) return {FieldState::Invalid, 0.0};
  return {FieldState::Valid, v};
}

}  // namespace

ReferenceInput CheckReference(std::string_view lat, std::string_view lon, std::string_view alt) {
  const Field la = Check(lat, -90.0, 90.0);
  const Field lo = Check(lon, -180.0, 180.0);
  const Field al = Check(alt, stats::kMinFixedAlt, stats::kMaxFixedAlt);
  ReferenceInput in{la.State, lo.State, al.State, std::nullopt};
  if (la.State == FieldState::Valid && lo.State == FieldState::Valid && al.State != FieldState::Invalid) {
    in.Point = stats::FixedPoint{la.Value, lo.Value,
                                 al.State == FieldState::Valid ? std::optional<double>(al.Value) : std::nullopt};
  }
  return in;
}
