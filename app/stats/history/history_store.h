#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "local_frame.h"
#include "sample_clock.h"
#include "sample_store.h"

namespace stats::history {

// What the charts need of one sample, in 32 bytes: a day at 10 Hz is under
// 28 MB. Positions are earth-centred (ECEF) metres from the store's first
// sample, so that offsets from any reference are a subtraction and a rotation
// rather than the trigonometry of a geodetic conversion; as floats they keep
// a micrometre near the first sample and a metre across the globe.
struct HistoryPoint {
  enum Has : uint8_t { kAltitude = 1, kHdop = 2, kSatsUsed = 4, kSnr = 8 };

  double Time;  // seconds on the SampleClock's line
  float X, Y, Z;
  float Hdop;
  float Snr;  // mean of the up to four highest SNRs, dB-Hz
  int8_t SatsUsed;
  uint8_t InView;
  uint8_t Fields;  // Has bits
};
static_assert(sizeof(HistoryPoint) == 32);

// The samples' history as the charts read it. Filled from a sample store that
// only grows, by reading what was added since the last time.
class HistoryStore {
 public:
  static constexpr size_t kBlockPoints = 32768;  // 1 MiB

  // Takes the samples `samples` holds beyond those already read. A sample
  // without altitude is placed at `placeHeight`, the reference's height now;
  // should that height later move by h, the sample's east and north offsets
  // are off by h/6400 km of its distance, which no chart can show.
  void Update(const SampleStore& samples, double placeHeight);
  void Clear();

  // Samples read, with and without a place on the time line.
  size_t SamplesRead() const { return read_; }
  size_t Size() const { return size_; }
  bool Empty() const { return size_ == 0; }
  const HistoryPoint& operator[](size_t i) const { return blocks_[i / kBlockPoints][i % kBlockPoints]; }
  // The first stored sample's position, from which X, Y and Z count.
  const Ecef& Anchor() const { return anchor_; }
  // The first point at or after time t (times never decrease), Size() if none.
  size_t FirstAtOrAfter(double t) const;

  size_t BytesHeld() const;

 private:
  void Add(const StatsSample& s, double time, double placeHeight);

  std::vector<std::unique_ptr<HistoryPoint[]>> blocks_;
  size_t size_ = 0;
  size_t read_ = 0;
  SampleClock clock_;
  // A receiver standing still repeats its coordinates at the sentence's
  // resolution: their sines and cosines are kept.
  RepeatingEcef ecef_;
  Ecef anchor_{};
};

}  // namespace stats::history
