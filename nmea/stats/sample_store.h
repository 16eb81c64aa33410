#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "large_blocks.h"
#include "stats_sample.h"

namespace stats {

// Samples in fixed blocks of 2 MiB rather than one growing array: at most
// one block is partly empty, so the storage per sample stays close to the
// sample's size (a doubling array may hold twice what it uses), and nothing
// is copied as the store grows.
class SampleStore {
 public:
  static constexpr size_t kBlockSamples = (size_t{2} << 20) / sizeof(StatsSample);

  SampleStore() = default;
  SampleStore(SampleStore&&) noexcept = default;
  SampleStore& operator=(SampleStore&&) noexcept = default;
  // Two stores adding to one shared block would overwrite each other's samples.
  SampleStore(const SampleStore&) = delete;
  SampleStore& operator=(const SampleStore&) = delete;

  void Add(const StatsSample& s) {
    if (size_ % kBlockSamples == 0) {
      blocks_.emplace_back(MakeLargeArray<StatsSample>(kBlockSamples).release(), FreeLarge{});
    }
    blocks_.back()[size_ % kBlockSamples] = s;
    ++size_;
  }

  // The samples added so far, sharing their blocks with this store, for
  // reading on another thread: Add writes only beyond the snapshot's end, and
  // Clear leaves the shared blocks to the snapshot. Nothing may be added to a
  // snapshot.
  SampleStore Snapshot() const {
    SampleStore copy;
    copy.blocks_ = blocks_;
    copy.size_ = size_;
    return copy;
  }
  void Clear() {
    blocks_.clear();
    size_ = 0;
  }

  size_t Size() const { return size_; }
  bool Empty() const { return size_ == 0; }
  const StatsSample& operator[](size_t i) const { return blocks_[i / kBlockSamples][i % kBlockSamples]; }

  // Calls f(sample) for each sample in the order added.
  template <typename F>
  void ForEach(F&& f) const {
    size_t left = size_;
    for (const auto& block : blocks_) {
      const size_t n = left < kBlockSamples ? left : kBlockSamples;
      for (size_t i = 0; i < n; ++i) f(block[i]);
      left -= n;
    }
  }

  // Bytes allocated for the samples and the block list.
  size_t BytesHeld() const {
    return blocks_.size() * (size_t{2} << 20) + blocks_.capacity() * sizeof(blocks_[0]);
  }

 private:
  std::vector<std::shared_ptr<StatsSample[]>> blocks_;
  size_t size_ = 0;
};

}  // namespace stats
