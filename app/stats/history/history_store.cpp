#include "history_store.h"

#include <cmath>

namespace stats::history {

void HistoryStore::Update(const SampleStore& samples, double placeHeight) {
  // A store that shrank was cleared behind our back: read it again.
  if (samples.Size() < read_) Clear();
  for (; read_ < samples.Size(); ++read_) {
    const StatsSample& s = samples[read_];
    if (const std::optional<double> t = clock_.Place(s.TimeText())) Add(s, *t, placeHeight);
  }
}

void HistoryStore::Clear() {
  blocks_.clear();
  size_ = 0;
  read_ = 0;
  clock_ = SampleClock();
}

void HistoryStore::Add(const StatsSample& s, double time, double placeHeight) {
  // A number the decoder read as infinite is drawn as missing.
  const bool hasAlt = s.HasAltitude() && std::isfinite(s.Alt);
  const Ecef p = ecef_(s.Lat, s.Lon, hasAlt ? s.Alt : placeHeight);
  if (size_ == 0) anchor_ = p;
  if (size_ % kBlockPoints == 0) blocks_.push_back(std::make_unique_for_overwrite<HistoryPoint[]>(kBlockPoints));
  HistoryPoint& h = blocks_.back()[size_ % kBlockPoints];
  h = HistoryPoint{};
  h.Time = time;
  h.X = static_cast<float>(p.X - anchor_.X);
  h.Y = static_cast<float>(p.Y - anchor_.Y);
  h.Z = static_cast<float>(p.Z - anchor_.Z);
  if (hasAlt) h.Fields |= HistoryPoint::kAltitude;
  if (s.HasHdop() && std::isfinite(s.Hdop)) {
    h.Hdop = static_cast<float>(s.Hdop);
    h.Fields |= HistoryPoint::kHdop;
  }
  if (s.HasSatsUsed()) {
    h.SatsUsed = s.SatsUsed;
    h.Fields |= HistoryPoint::kSatsUsed;
  }
  if (s.SnrCount > 0) {
    h.Snr = static_cast<float>(static_cast<double>(s.SnrSum) / s.SnrCount);
    h.Fields |= HistoryPoint::kSnr;
  }
  h.InView = s.InView;
  ++size_;
}

size_t HistoryStore::FirstAtOrAfter(double t) const {
  size_t lo = 0, hi = size_;
  while (lo < hi) {
    const size_t mid = lo + (hi - lo) / 2;
    if ((*this)[mid].Time < t) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return lo;
}

size_t HistoryStore::BytesHeld() const {
  return blocks_.size() * kBlockPoints * sizeof(HistoryPoint) + blocks_.capacity() * sizeof(blocks_[0]);
}

}  // namespace stats::history
