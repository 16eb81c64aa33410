#include "satellite_snr.h"

namespace stats {

namespace {

// Keeps the four largest values offered, in descending order.
class TopFour {
 public:
  void Offer(uint32_t v) {
    if (v == 0 || (count_ == 4 && v <= top_[3])) return;
    int i = count_ < 4 ? count_++ : 3;
    for (; i > 0 && top_[i - 1] < v; --i) top_[i] = top_[i - 1];
    top_[i] = v;
  }
  TopSnr Result() const {
    TopSnr r{0, count_};
    for (int i = 0; i < count_; ++i) r.Sum += top_[i];
    return r;
  }

 private:
  uint32_t top_[4] = {};
  uint8_t count_ = 0;
};

}  // namespace

TopSnr TopFourSnr(const CNMEAParser& p) {
  TopFour top;
  if (p.GnssMode()) {
    for (const GnssSat& sat : p.GnssSats()) {
      if (sat.Snr > 0) top.Offer(static_cast<uint32_t>(sat.Snr));
    }
  } else {
    const int n = p.GsvInView < CNMEAParser::kSatTableSize ? p.GsvInView : CNMEAParser::kSatTableSize;
    for (int i = 0; i < n; ++i) top.Offer(p.GsvSat[i].Snr);
  }
  return top.Result();
}

}  // namespace stats
