#include "app/stats/map_scale.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kFitMargin = 1.1;
constexpr double kZoomStep = 1.25;

double Clamp(double halfWidth) {
  // Written so that NaN falls to the smallest width.
  if (!(halfWidth >= kMinHalfWidthM)) return kMinHalfWidthM;
  return std::min(halfWidth, kMaxHalfWidthM);
}

std::string Format(const char* format, double v) {
  char text[32];
  std::snprintf(text, sizeof text, format, v);
  return text;
}

}  // namespace

double FitHalfWidth(std::optional<double> cep95, std::optional<double> maxH) {
  double spread = maxH.value_or(0.0);
  if (cep95 && std::isfinite(*cep95)) spread = std::min(spread, 2.0 * *cep95);
  return Clamp(spread * kFitMargin);
}

double ZoomHalfWidth(double halfWidth, double wheelSteps) {
  if (!std::isfinite(wheelSteps)) wheelSteps = 0.0;
  return Clamp(Clamp(halfWidth) * std::pow(kZoomStep, -std::clamp(wheelSteps, -100.0, 100.0)));
}

ScaleBar ChooseScaleBar(double metresPerPixel, double maxPixels) {
  if (!(metresPerPixel > 0.0) || !std::isfinite(metresPerPixel)) metresPerPixel = kMinHalfWidthM;
  if (!(maxPixels >= 1.0) || !std::isfinite(maxPixels)) maxPixels = 1.0;
  const double longest = metresPerPixel * maxPixels;
  double power = std::pow(10.0, std::floor(std::log10(longest)));
  double metres = power;
  for (const double step : {2.0, 5.0, 10.0}) {
    if (power * step <= longest * (1.0 + 1e-9)) metres = power * step;
  }
  std::string label;
  if (metres >= 1000.0) {
    label = Format("%g km", metres / 1000.0);
  } else if (metres >= 1.0) {
    label = Format("%g m", metres);
  } else if (metres >= 0.01) {
    label = Format("%g cm", metres * 100.0);
  } else {
    label = Format("%g mm", metres * 1000.0);
  }
  return {metres, metres / metresPerPixel, label};
}

std::string LengthText(double metres) {
  if (!std::isfinite(metres)) return "-";
  const double a = std::fabs(metres);
  if (a >= 1000.0) return Format("%.2f km", metres / 1000.0);
  if (a >= 1.0) return Format("%.2f m", metres);
  if (a >= 0.01) return Format("%.1f cm", metres * 100.0);
  return Format("%.1f mm", metres * 1000.0);
}
