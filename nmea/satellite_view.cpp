#include "satellite_view.h"

#include <algorithm>

#include "nmea_parser.h"

namespace {

// A GSV table entry as GNSS mode lists a satellite, numbered as the GPS talker
// numbers it.
GnssSat FromTable(const SatEntry& e) {
  GnssSat sat{GnssSystem::Gps, 0, e.Prn, e.Snr, e.Azimuth, e.Elevation, e.InSolution != 0};
  if (!nmea::ClassifySatellite(nmea::Talker::GP, e.Prn, sat.System, sat.Id)) {
    sat.System = GnssSystem::Gps;
    sat.Id = 0;
  }
  return sat;
}

}  // namespace

SatelliteView::SatelliteView(const CNMEAParser& record) : fixType_(record.GsaFixType) {
  if (record.GnssMode()) {
    for (const GnssSat& sat : record.GnssSats()) sats_[count_++] = sat;
    return;
  }
  count_ = TableCount(record);
  for (int i = 0; i < count_; ++i) sats_[i] = FromTable(record.GsvSat[i]);
}

SatelliteView::SatelliteView(std::span<const GnssSat> sats, uint8_t fixType)
    : count_(static_cast<int>(std::min<size_t>(sats.size(), kMaxSatellites))), fixType_(fixType) {
  std::copy_n(sats.begin(), count_, sats_);
}

int SatelliteView::UsedCount() const {
  return static_cast<int>(std::count_if(begin(), end(), [](const GnssSat& sat) { return sat.Used; }));
}

SatelliteView SatelliteView::UsedFirst() const {
  SatelliteView ordered = *this;
  std::stable_sort(ordered.sats_, ordered.sats_ + count_, [](const GnssSat& x, const GnssSat& y) {
    if (x.Used != y.Used) return x.Used;
    return x.Snr > y.Snr;
  });
  return ordered;
}
