#include "accuracy_figures.h"

#include <algorithm>
#include <cmath>

namespace stats {

const std::array<FigureName, kFigureCount> kFigureNames = {{
    {"MeanLat", "deg"},
    {"MeanLon", "deg"},
    {"MeanAlt", "m"},
    {"SigmaE", "m"},
    {"SigmaN", "m"},
    {"SigmaU", "m"},
    {"Cep50", "m"},
    {"Cep95", "m"},
    {"Drms2", "m"},
    {"MaxH", "m"},
    {"U95", "m"},
    {"MeanSats", ""},
    {"MeanHdop", ""},
    {"MeanSnrTop4", "dB-Hz"},
}};

namespace {

// A running sum and count, for the means that count only some samples.
struct Mean {
  double Sum = 0.0;
  uint64_t Count = 0;
  void Add(double v) {
    Sum += v;
    ++Count;
  }
  std::optional<double> Value() const {
    return Count == 0 ? std::nullopt : std::optional<double>(Sum / static_cast<double>(Count));
  }
};

// Population standard deviation about the values' own mean, in one pass
// (Welford's update, which stays exact to rounding where a sum of squares
// would cancel), so that the offsets need not be kept.
class Spread {
 public:
  void Add(double x) {
    ++n_;
    const double delta = x - mean_;
    mean_ += delta / static_cast<double>(n_);
    m2_ += delta * (x - mean_);
  }
  double Sigma() const { return std::sqrt(m2_ / static_cast<double>(n_)); }

 private:
  uint64_t n_ = 0;
  double mean_ = 0.0;
  double m2_ = 0.0;
};

double HeightOf(const LocalFrame& reference, const StatsSample& s) {
  return s.HasAltitude() ? s.Alt : reference.Height();
}

// Percentile of values that are partitioned at index `partitioned` (none
// before it larger than any after it), as a lower percentile's search leaves
// them: the search starts there. Leaves `partitioned` at this one's index.
double PercentileAbove(std::span<double> values, double p, size_t& partitioned) {
  const double at = p / 100.0 * static_cast<double>(values.size() - 1);
  const auto low = static_cast<size_t>(std::floor(at));
  std::nth_element(values.begin() + static_cast<ptrdiff_t>(std::min(partitioned, low)),
                   values.begin() + static_cast<ptrdiff_t>(low), values.end());
  partitioned = low;
  const double a = values[low];
  if (low + 1 >= values.size()) return a;
  const double b = *std::min_element(values.begin() + static_cast<ptrdiff_t>(low) + 1, values.end());
  return a + (at - static_cast<double>(low)) * (b - a);
}

}  // namespace

Enu SampleOffsets(const LocalFrame& reference, const StatsSample& s) {
  return reference.Offset(s.Lat, s.Lon, HeightOf(reference, s));
}

double Percentile(std::span<double> values, double p) {
  size_t partitioned = 0;
  return PercentileAbove(values, p, partitioned);
}

AccuracyFigures ComputeFigures(const SampleStore& samples, uint64_t rejected, uint64_t ggaDecoded,
                               const std::optional<FixedPoint>& fixed) {
  AccuracyFigures out;
  out.Samples = samples.Size();
  out.Rejected = rejected;
  out.GgaDecoded = ggaDecoded;
  if (samples.Empty()) return out;
  auto set = [&out](Figure f, std::optional<double> v) { out.Values[static_cast<size_t>(f)] = v; };

  Mean lat, lon, alt, sats, hdop, snr;
  samples.ForEach([&](const StatsSample& s) {
    lat.Add(s.Lat);
    lon.Add(s.Lon);
    if (s.HasAltitude()) alt.Add(s.Alt);
    if (s.HasSatsUsed()) sats.Add(s.SatsUsed);
    if (s.HasHdop()) hdop.Add(s.Hdop);
    if (s.SnrCount > 0) snr.Add(static_cast<double>(s.SnrSum) / s.SnrCount);
  });
  set(Figure::MeanLat, lat.Value());
  set(Figure::MeanLon, lon.Value());
  set(Figure::MeanAlt, alt.Value());
  set(Figure::MeanSats, sats.Value());
  set(Figure::MeanHdop, hdop.Value());
  set(Figure::MeanSnrTop4, snr.Value());

  // Without any altitude every sample sits at the reference's height, whatever it is.
  const double meanAlt = alt.Value().value_or(0.0);
  out.Reference = fixed ? LocalFrame(fixed->Lat, fixed->Lon, fixed->Alt.value_or(meanAlt))
                        : LocalFrame(*lat.Value(), *lon.Value(), meanAlt);

  const size_t n = samples.Size();
  const auto horizontal = MakeLargeArray<double>(n);
  const auto up = MakeLargeArray<double>(alt.Count);  // |up| of the samples with an altitude
  Spread east, north, upSpread;
  double squares = 0.0;
  double maxH = 0.0;
  size_t i = 0, j = 0;
  RepeatingEcef ecef;
  const LocalFrame& reference = *out.Reference;
  samples.ForEach([&](const StatsSample& s) {
    // As SampleOffsets, with the sines and cosines of repeated values kept.
    const Enu o = reference.Offset(ecef(s.Lat, s.Lon, HeightOf(reference, s)));
    east.Add(o.East);
    north.Add(o.North);
    const double d2 = o.East * o.East + o.North * o.North;
    squares += d2;
    const double d = std::sqrt(d2);
    maxH = std::max(maxH, d);
    horizontal[i++] = d;
    if (s.HasAltitude()) {
      upSpread.Add(o.Up);
      up[j++] = std::fabs(o.Up);
    }
  });
  set(Figure::SigmaE, east.Sigma());
  set(Figure::SigmaN, north.Sigma());
  set(Figure::Drms2, 2.0 * std::sqrt(squares / static_cast<double>(n)));
  set(Figure::MaxH, maxH);
  size_t partitioned = 0;
  set(Figure::Cep50, PercentileAbove({horizontal.get(), n}, 50.0, partitioned));
  set(Figure::Cep95, PercentileAbove({horizontal.get(), n}, 95.0, partitioned));
  if (alt.Count > 0) {
    set(Figure::SigmaU, upSpread.Sigma());
    set(Figure::U95, Percentile({up.get(), alt.Count}, 95.0));
  }
  return out;
}

}  // namespace stats
