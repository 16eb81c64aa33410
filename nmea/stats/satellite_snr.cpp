#include "satellite_snr.h"

#include "satellite_view.h"

namespace stats {

namespace {

// Keeps the four largest positive values offered, in descending order: a
// missing SNR (-1 in GNSS mode) or 0 is none.
class TopFour {
 public:
  void Offer(int32_t v) {
    if (v <= 0 || (count_ == 4 && v <= top_[3])) return;
    int i = count_ < 4 ? count_++ : 3;
    for (; i > 0 && top_[i - 1] < v; --i) top_[i] = top_[i - 1];
    top_[i] = v;
  }
  TopSnr Result() const {
    TopSnr r{0, count_};
    for (int i = 0; i < count_; ++i) r.Sum += static_cast<uint32_t>(top_[i]);
    return r;
  }

 private:
  int32_t top_[4] = {};
  uint8_t count_ = 0;
};

}  // namespace

TopSnr TopFourSnr(const CNMEAParser& p) {
  TopFour top;
  SatelliteView::ForEachSnr(p, [&top](int32_t snr) { top.Offer(snr); });
  return top.Result();
}

}  // namespace stats
