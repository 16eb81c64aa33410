#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "local_frame.h"
#include "sample_store.h"

namespace stats {

// The figures with a real value, in the order they are shown and printed.
enum class Figure : uint8_t {
  MeanLat,
  MeanLon,
  MeanAlt,
  SigmaE,
  SigmaN,
  SigmaU,
  Cep50,
  Cep95,
  Drms2,
  MaxH,
  U95,
  MeanSats,
  MeanHdop,
  MeanSnrTop4,
};
inline constexpr size_t kFigureCount = 14;

struct FigureName {
  const char* Name;  // as shown, exported and printed
  const char* Unit;  // "" for a count or ratio
};
extern const std::array<FigureName, kFigureCount> kFigureNames;

// A point the user gives; without an altitude the samples' mean altitude is used.
struct FixedPoint {
  double Lat, Lon;
  std::optional<double> Alt;
};
// A fixed point's altitude runs from the deepest ocean floor to the edge of
// space; beyond, it is a typing mistake.
inline constexpr double kMinFixedAlt = -11000.0;
inline constexpr double kMaxFixedAlt = 100000.0;

struct AccuracyFigures {
  uint64_t Samples = 0;
  uint64_t Rejected = 0;
  uint64_t GgaDecoded = 0;
  std::array<std::optional<double>, kFigureCount> Values;  // none: the figure has no value
  // Where the offsets are measured from; none without samples.
  std::optional<LocalFrame> Reference;

  std::optional<double> operator[](Figure f) const { return Values[static_cast<size_t>(f)]; }
};

// A sample's offsets from the reference; a sample without altitude is placed
// at the reference's.
Enu SampleOffsets(const LocalFrame& reference, const StatsSample& s);

// Every figure of the samples, against `fixed` or, without it, their mean.
AccuracyFigures ComputeFigures(const SampleStore& samples, uint64_t rejected, uint64_t ggaDecoded,
                               const std::optional<FixedPoint>& fixed);

// Linear interpolation at index p/100·(n−1) of the values sorted ascending
// (reorders `values`; it must not be empty).
double Percentile(std::span<double> values, double p);

}  // namespace stats
