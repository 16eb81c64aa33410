#include "app/stats/now/fix_quality_text.h"

#include <array>

QString FixQualityText(int quality) {
  static constexpr std::array<const char*, 9> kWords = {
      "No fix",         "GPS",          "DGPS",      "PPS", "RTK fixed", "RTK float",
      "Dead reckoning", "Manual input", "Simulation"};
  if (quality >= 0 && quality < static_cast<int>(kWords.size())) {
    return QString::fromLatin1(kWords[static_cast<size_t>(quality)]);
  }
  return QStringLiteral("Unknown (%1)").arg(quality);
}
