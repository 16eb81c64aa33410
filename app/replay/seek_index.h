#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "app/replay/line_store.h"
#include "nmea/nmea_parser.h"

// Decoder states of a loaded recording, one every `spacingBytes` of its lines,
// made on a thread of their own after the load: going to any line copies the
// nearest state before it and decodes at most that many bytes more, so a seek
// costs the same anywhere in a file of any size.
//
// The states are those of a decoder reset in the given mode that read the
// lines from the first, as the replay's start leaves it. The lines must stay
// unchanged from Build() until Stop() (or the index's end).
class SeekIndex {
 public:
  static constexpr size_t kDefaultSpacingBytes = 1 << 20;

  explicit SeekIndex(size_t spacingBytes = kDefaultSpacingBytes);
  ~SeekIndex();
  SeekIndex(const SeekIndex&) = delete;
  SeekIndex& operator=(const SeekIndex&) = delete;

  // Stops any build and starts one for `lines`.
  void Build(const LineStore& lines, bool gnssMode);
  // Stops the build and forgets the states; returns once the thread has ended.
  void Stop();
  bool Complete() const { return complete_.load(std::memory_order_acquire); }
  size_t StatesReady() const;

  // Sets `out` to what decoding lines [0, index) from the reset would; works
  // at once after Build(), from the states ready so far. `out` keeps its
  // listeners, which hear nothing of it.
  void StateAt(size_t index, CNMEAParser& out);

  // The first line at or after `from` whose recorded time of day is `ms` or
  // later, in the recording's own order (across midnight when it wraps);
  // none when no line reaches it before the recording's clock passes it.
  std::optional<size_t> FindTime(int32_t ms, size_t from = 0) const;

 private:
  struct Saved {
    size_t line;
    CNMEAParser state;
    // The first recorded time at or after `line`, for FindTime.
    std::optional<int32_t> time;
  };
  // Whether the clock, going from `from` to `to`, reached `target`.
  static bool Passes(int32_t from, int32_t to, int32_t target);
  std::optional<size_t> ScanForTime(int32_t ms, size_t first, size_t end) const;
  void Run(bool gnssMode);

  const size_t spacingBytes_;
  const LineStore* lines_ = nullptr;
  bool gnssMode_ = false;
  std::thread builder_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> complete_{false};
  mutable std::mutex mutex_;
  // Ordered by line; the first is the reset state at line 0.
  std::vector<std::unique_ptr<Saved>> saved_;
  // Scratch for the decode after the nearest state, kept for the next seek.
  CNMEAParser scratch_;
};
