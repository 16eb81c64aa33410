#include "link_counter.h"

#include <algorithm>

LinkCounter::LinkCounter() { reader_.SetReaderWatch(this); }

void LinkCounter::Line(std::string_view line, Clock::time_point now) {
  if (!first_) first_ = now;
  last_ = now;
  StepAt(now).Bytes += line.size();
  counts_.Bytes += line.size();
  // Sentences count in the step of the line that ends them.
  reader_.FeedBytes(line.data(), static_cast<uint32_t>(line.size()));
}

void LinkCounter::SetGnssMode(bool on) {
  if (on != reader_.GnssMode()) reader_.SetGnssMode(on);
}

void LinkCounter::Restart() {
  counts_ = Counts{};
  steps_.fill(Step{});
  first_.reset();
  last_.reset();
}

void LinkCounter::SentenceEnded(SentenceEnd end, bool decoded) {
  ++counts_.Sentences;
  ++StepAt(*last_).Sentences;
  const bool whole = end == SentenceEnd::Checksummed || end == SentenceEnd::Unchecked;
  counts_.UnknownNames += whole && !decoded ? 1 : 0;
  counts_.NoChecksum += end == SentenceEnd::Unchecked || end == SentenceEnd::NoChecksum ? 1 : 0;
  counts_.BadChecksums += end == SentenceEnd::BadChecksum || end == SentenceEnd::CutShort ? 1 : 0;
}

LinkCounter::Step& LinkCounter::StepAt(Clock::time_point t) {
  const int64_t index = t.time_since_epoch() / kRateStep;
  Step& step = steps_[static_cast<size_t>(index % kSteps)];
  if (step.Index != index) step = Step{index, 0, 0};
  return step;
}

double LinkCounter::Rate(Clock::time_point now, uint64_t Step::*field) const {
  if (!first_) return 0.0;
  const int64_t newest = now.time_since_epoch() / kRateStep;
  uint64_t sum = 0;
  for (const Step& step : steps_) {
    if (step.Index > newest - kSteps && step.Index <= newest) sum += step.*field;
  }
  const Clock::time_point oldest{(newest - kSteps + 1) * kRateStep};
  const auto span = now - std::max(oldest, *first_);
  const double seconds = std::chrono::duration<double>(span).count();
  return static_cast<double>(sum) / std::max(seconds, 1.0);
}

std::optional<LinkCounter::Clock::duration> LinkCounter::SinceLastByte(
    Clock::time_point now) const {
  if (!last_) return std::nullopt;
  return now - *last_;
}
