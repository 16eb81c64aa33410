#include "sample_collector.h"

#include <algorithm>
#include <cmath>

#include "satellite_snr.h"

namespace stats {

namespace {

// The GNSS list's entries in GNSS mode; the count the receiver announced in
// its GSV sentences by default, which may exceed what the table holds.
int SatellitesInView(const CNMEAParser& p) { return p.GnssMode() ? p.GnssInView() : p.GsvInView; }

}  // namespace

SampleKind TakeSample(const CNMEAParser& p, const GgaSent& sent, StatsSample& out) {
  constexpr uint8_t kNeeded = GgaSent::kQuality | GgaSent::kLat | GgaSent::kLon;
  if ((sent.Fields & kNeeded) != kNeeded || p.GgaQuality == 0) return SampleKind::NotAFix;
  // Written so that NaN fails too.
  if (!(std::fabs(p.GgaLat) <= 90.0 && std::fabs(p.GgaLon) <= 180.0)) return SampleKind::Rejected;

  out = StatsSample{};
  out.Lat = p.GgaLat;
  out.Lon = p.GgaLon;
  // A field such as "1e999" reads as infinity; it would turn every figure that
  // averages it into NaN, so it counts as not sent.
  if ((sent.Fields & GgaSent::kAltitude) && std::isfinite(p.GgaAltitude)) {
    out.Alt = p.GgaAltitude;
    out.Fields |= StatsSample::kAltitude;
  }
  if ((sent.Fields & GgaSent::kHdop) && std::isfinite(p.GgaHdop)) {
    out.Hdop = p.GgaHdop;
    out.Fields |= StatsSample::kHdop;
  }
  if (sent.Fields & GgaSent::kSatsUsed) {
    out.SatsUsed = p.GgaSatsUsed;
    out.Fields |= StatsSample::kSatsUsed;
  }
  out.Quality = p.GgaQuality;
  sent.Time.copy(out.Time, sizeof out.Time);
  out.InView = static_cast<uint8_t>(std::min<int>(SatellitesInView(p), 255));
  const TopSnr snr = TopFourSnr(p);
  out.SnrSum = snr.Sum;
  out.SnrCount = snr.Count;
  return SampleKind::Taken;
}

SampleCollector::SampleCollector(CNMEAParser& parser) : parser_(parser) {
  parser_.SetGgaListener(&SampleCollector::OnGga, this);
}

SampleCollector::~SampleCollector() { parser_.SetGgaListener(nullptr, nullptr); }

void SampleCollector::Clear() {
  samples_.Clear();
  rejected_ = 0;
  ggaDecoded_ = 0;
}

void SampleCollector::OnGga(void* self, const CNMEAParser& parser, const GgaSent& sent) {
  auto& c = *static_cast<SampleCollector*>(self);
  ++c.ggaDecoded_;
  StatsSample s;
  switch (TakeSample(parser, sent, s)) {
    case SampleKind::Taken:
      c.samples_.Add(s);
      break;
    case SampleKind::Rejected:
      ++c.rejected_;
      break;
    case SampleKind::NotAFix:
      break;
  }
}

}  // namespace stats
