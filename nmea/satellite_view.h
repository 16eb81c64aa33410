#pragma once

#include <cstdint>
#include <span>

#include "gnss_satellites.h"
#include "nmea_parser.h"

// The satellites now, read one way in either mode, for every consumer that
// shows or counts them.
class SatelliteView {
 public:
  static constexpr int kMaxSatellites = 64;

  // GNSS mode: the decoder's list, in its order. The default mode: the GSV
  // table's entries below the count the receiver announced (at most the
  // table's 36), in table order, with the values the table holds. There an
  // entry without a PRN (Nmea 0) is no satellite but keeps its place, and a
  // number that no system uses has Id 0.
  explicit SatelliteView(const CNMEAParser& record);
  // At most kMaxSatellites of `sats`.
  SatelliteView(std::span<const GnssSat> sats, uint8_t fixType);

  // The SNR of each satellite the view of `record` holds, in its order,
  // without building the view: for what is counted at every fix.
  template <typename Take>
  static void ForEachSnr(const CNMEAParser& record, Take&& take);

  int Count() const { return count_; }
  const GnssSat& operator[](int i) const { return sats_[i]; }
  const GnssSat* begin() const { return sats_; }
  const GnssSat* end() const { return sats_ + count_; }
  int UsedCount() const;
  // The record's GsaFixType: a used satellite is in a 3D solution when it is 3.
  uint8_t FixType() const { return fixType_; }

  // Used satellites first, then the others, each group by SNR, strongest
  // first (a missing SNR last); ties keep their order.
  SatelliteView UsedFirst() const;

 private:
  // The default mode's entries: the GSV table's below the announced count.
  static int TableCount(const CNMEAParser& record) {
    return record.GsvInView < CNMEAParser::kSatTableSize ? record.GsvInView : CNMEAParser::kSatTableSize;
  }

  GnssSat sats_[kMaxSatellites];
  int count_ = 0;
  uint8_t fixType_ = 0;
};

template <typename Take>
void SatelliteView::ForEachSnr(const CNMEAParser& record, Take&& take) {
  if (record.GnssMode()) {
    for (const GnssSat& sat : record.GnssSats()) take(sat.Snr);
    return;
  }
  for (int i = 0; i < TableCount(record); ++i) take(int32_t{record.GsvSat[i].Snr});
}
