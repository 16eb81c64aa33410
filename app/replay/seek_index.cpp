#include "app/replay/seek_index.h"

#include <algorithm>

#include "app/replay/recorded_time.h"

namespace {

// A clock step forward of more than this is taken as a jump, not as time
// that passed: it does not count as reaching every time between.
constexpr int64_t kLongestStepMs = RecordedPace::kDayMs / 2;

int64_t Forward(int32_t from, int32_t to) {
  int64_t d = (static_cast<int64_t>(to) - from) % RecordedPace::kDayMs;
  return d < 0 ? d + RecordedPace::kDayMs : d;
}

}  // namespace

SeekIndex::SeekIndex(size_t spacingBytes) : spacingBytes_(std::max<size_t>(spacingBytes, 1)) {}

SeekIndex::~SeekIndex() { Stop(); }

void SeekIndex::Build(const LineStore& lines, bool gnssMode) {
  Stop();
  lines_ = &lines;
  gnssMode_ = gnssMode;
  auto first = std::make_unique<Saved>();
  first->line = 0;
  first->state.SetGnssMode(gnssMode);
  first->state.ResetRecord();
  {
    std::lock_guard lock(mutex_);
    saved_.push_back(std::move(first));
  }
  stop_.store(false);
  complete_.store(false);
  builder_ = std::thread([this, gnssMode] { Run(gnssMode); });
}

void SeekIndex::Stop() {
  stop_.store(true);
  if (builder_.joinable()) builder_.join();
  std::lock_guard lock(mutex_);
  saved_.clear();
  lines_ = nullptr;
  complete_.store(false);
}

size_t SeekIndex::StatesReady() const {
  std::lock_guard lock(mutex_);
  return saved_.size();
}

void SeekIndex::Run(bool gnssMode) {
  CNMEAParser parser;
  parser.SetGnssMode(gnssMode);
  parser.ResetRecord();
  const LineStore& lines = *lines_;
  const size_t total = lines.size();
  size_t bytes = 0;
  // The time of the last state saved is the first time after it.
  bool wantTime = true;
  for (size_t i = 0; i < total; ++i) {
    if (stop_.load(std::memory_order_relaxed)) return;
    const std::string_view line = lines.line(i);
    if (wantTime) {
      if (const auto t = LineUtcMs(line)) {
        std::lock_guard lock(mutex_);
        saved_.back()->time = t;
        wantTime = false;
      }
    }
    parser.FeedBytes(line.data(), static_cast<uint32_t>(line.size()));
    bytes += line.size() + 1;
    if (bytes >= spacingBytes_ && i + 1 < total) {
      bytes = 0;
      auto saved = std::make_unique<Saved>();
      saved->line = i + 1;
      saved->state.CopyStateFrom(parser);
      std::lock_guard lock(mutex_);
      saved_.push_back(std::move(saved));
      wantTime = true;
    }
  }
  complete_.store(true, std::memory_order_release);
}

void SeekIndex::StateAt(size_t index, CNMEAParser& out) {
  if (lines_ == nullptr) return;
  const LineStore& lines = *lines_;
  index = std::min(index, lines.size());
  size_t from = 0;
  {
    std::lock_guard lock(mutex_);
    const auto after = std::upper_bound(saved_.begin(), saved_.end(), index,
                                        [](size_t i, const std::unique_ptr<Saved>& s) { return i < s->line; });
    const Saved& nearest = **std::prev(after);
    scratch_.CopyStateFrom(nearest.state);
    from = nearest.line;
  }
  for (size_t i = from; i < index; ++i) {
    const std::string_view line = lines.line(i);
    scratch_.FeedBytes(line.data(), static_cast<uint32_t>(line.size()));
  }
  out.CopyStateFrom(scratch_);
}

bool SeekIndex::Passes(int32_t from, int32_t to, int32_t target) {
  const int64_t step = Forward(from, to);
  if (step > kLongestStepMs) return false;
  const int64_t toTarget = Forward(from, target);
  return toTarget > 0 && toTarget <= step;
}

std::optional<size_t> SeekIndex::ScanForTime(int32_t ms, size_t first, size_t end) const {
  const LineStore& lines = *lines_;
  std::optional<int32_t> last;
  for (size_t i = first; i < end; ++i) {
    const auto t = LineUtcMs(lines.line(i));
    if (!t) continue;
    if (*t == ms || (last && Passes(*last, *t, ms))) return i;
    last = t;
  }
  return std::nullopt;
}

std::optional<size_t> SeekIndex::FindTime(int32_t ms, size_t from) const {
  if (lines_ == nullptr) return std::nullopt;
  const size_t total = lines_->size();
  // Narrows the scan to the stretch between two saved states whose times
  // enclose the target; a recording whose clock jumps falls back to a scan.
  std::optional<size_t> begin;
  std::optional<size_t> end;
  {
    std::lock_guard lock(mutex_);
    for (size_t s = 0; s + 1 < saved_.size(); ++s) {
      const Saved& a = *saved_[s];
      const Saved& b = *saved_[s + 1];
      if (b.line <= from || !a.time || !b.time) continue;
      if (*a.time == ms || Passes(*a.time, *b.time, ms) || *b.time == ms) {
        begin = std::max(a.line, from);
        end = s + 2 < saved_.size() ? saved_[s + 2]->line : total;
        break;
      }
    }
  }
  if (begin) {
    if (const auto found = ScanForTime(ms, *begin, *end)) return found;
  }
  return ScanForTime(ms, from, total);
}
