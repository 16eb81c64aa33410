#pragma once

#include <optional>
#include <string>

// The deviation map's scale: how many metres the map's half width shows, and
// the scale bar beneath it. Every answer is finite and within the map's range,
// whatever the samples did (a single sample, none, a jump across the globe).

// The half widths the map shows, from 1 cm to 10 km.
inline constexpr double kMinHalfWidthM = 0.01;
inline constexpr double kMaxHalfWidthM = 10000.0;

// The half width that fits the spread: the largest distance, unless it lies
// beyond twice the CEP95 (a few outliers would shrink the cloud to a dot), with
// a margin so that the outermost dots stay inside.
double FitHalfWidth(std::optional<double> cep95, std::optional<double> maxH);

// `halfWidth` zoomed by `wheelSteps` (positive: in, 1.25 times a step), kept within range.
double ZoomHalfWidth(double halfWidth, double wheelSteps);

struct ScaleBar {
  double Metres;      // 1, 2 or 5 times a power of ten
  double Pixels;      // its length on the map
  std::string Label;  // "1 m", "20 cm", "5 km", "2 mm"
};

// The longest 1/2/5 step no longer than `maxPixels` at `metresPerPixel`.
ScaleBar ChooseScaleBar(double metresPerPixel, double maxPixels);

// A distance as the map labels it: "4.2 mm", "37.5 cm", "1.24 m", "3.50 km".
std::string LengthText(double metres);
