#include "satellite_snr.h"

#include "satellite_view.h"

namespace stats {

namespace {

// Keeps the four largest positive values offered, in descending order, 0
// standing for none: a missing SNR (-1 in GNSS mode) or 0 is none. Four
// values of their own rather than an array, so that they stay in registers:
// this runs for every satellite at every fix.
class TopFour {
 public:
  void Offer(int32_t v) {
    if (v <= t3_) return;
    if (v <= t2_) {
      t3_ = v;
      return;
    }
    t3_ = t2_;
    if (v <= t1_) {
      t2_ = v;
      return;
    }
    t2_ = t1_;
    if (v <= t0_) {
      t1_ = v;
      return;
    }
    t1_ = t0_;
    t0_ = v;
  }
  TopSnr Result() const {
    return {static_cast<uint32_t>(t0_ + t1_ + t2_ + t3_),
            static_cast<uint8_t>((t0_ > 0) + (t1_ > 0) + (t2_ > 0) + (t3_ > 0))};
  }

 private:
  int32_t t0_ = 0, t1_ = 0, t2_ = 0, t3_ = 0;
};

}  // namespace

TopSnr TopFourSnr(const CNMEAParser& p) {
  TopFour top;
  SatelliteView::ForEachSnr(p, [&top](int32_t snr) { top.Offer(snr); });
  return top.Result();
}

}  // namespace stats
