#pragma once

#include "local_frame.h"

// Metres east and north of a reference as LocalFrame::Offset gives them, for
// drawing: a sample near the reference takes its sines and cosines from the
// reference's by the angle-sum rule, with short series for the small angles
// (exact to double rounding within 0.01 rad, some 60 km), instead of four
// library calls; farther samples go the exact way.
class NearOffsets {
 public:
  explicit NearOffsets(const stats::LocalFrame& frame);

  struct EastNorth {
    double East, North;
  };
  EastNorth Offset(double latDeg, double lonDeg, double heightM) const;

 private:
  const stats::LocalFrame& frame_;
  stats::Ecef origin_;
  double sinLat_, cosLat_, sinLon_, cosLon_;
};
