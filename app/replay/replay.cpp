#include "app/replay/replay.h"

#include <algorithm>
#include <chrono>

void ReplayController::Finish() {
  state_ = ReplayState::Finished;
  caption_ = "Finish";
  glyph_ = "ID_PLAY";
}

void ReplayController::BeginOpen() {
  if (state_ == ReplayState::Playing) {
    Finish();
  }
  state_ = ReplayState::Empty;
}

void ReplayController::FileLoaded() {
  state_ = ReplayState::Loaded;
  caption_ = "Start";
}

ReplayAction ReplayController::PressButton(size_t lineCount) {
  if (lineCount == 0) {
    return ReplayAction::None;
  }
  switch (state_) {
    case ReplayState::Playing:
      state_ = ReplayState::Paused;
      caption_ = "Continue";
      glyph_ = "ID_PLAY";
      return ReplayAction::Pause;
    case ReplayState::Paused:
      state_ = ReplayState::Playing;
      caption_ = "Pause";
      glyph_ = "ID_PAUSE";
      RestartPace();
      return ReplayAction::Continue;
    case ReplayState::Empty:
    case ReplayState::Loaded:
    case ReplayState::Finished:
      replayIndex_ = 0;
      RestartPace();
      pace_.Restart();
      pendingWaitMs_.reset();
      state_ = ReplayState::Playing;
      caption_ = "Pause";
      glyph_ = "ID_PAUSE";
      return ReplayAction::Start;
  }
  return ReplayAction::None;
}

ReplayStep ReplayController::Tick(size_t lineCount) {
  ReplayStep step;
  step.first = replayIndex_;
  if (state_ != ReplayState::Playing) {
    return step;
  }
  for (size_t n = 0; n < kLinesPerTick; ++n) {
    if (replayIndex_ >= lineCount) {
      Finish();
      step.finished = true;
      break;
    }
    ++replayIndex_;
    ++step.count;
  }
  return step;
}

ReplayStep ReplayController::Tick(const LineStore& lines, const std::function<void(std::string_view)>& play) {
  const ReplayStep step = Tick(lines.size());
  for (size_t i = step.first; i < step.first + step.count; ++i) {
    play(lines.line(i));
  }
  return step;
}

int RecordedFactor(ReplaySpeed speed) {
  switch (speed) {
    case ReplaySpeed::Recorded1:
      return 1;
    case ReplaySpeed::Recorded2:
      return 2;
    case ReplaySpeed::Recorded5:
      return 5;
    case ReplaySpeed::Recorded10:
      return 10;
    case ReplaySpeed::Recorded60:
      return 60;
    case ReplaySpeed::LinesPerSecond:
    case ReplaySpeed::AsFast:
      break;
  }
  return 0;
}

void ReplayController::RestartPace() {
  // A line whose wait was read keeps it (the pace has moved past its time);
  // only the clock it is counted from starts again.
  lastDueMs_.reset();
}

void ReplayController::SetSpeed(ReplaySpeed speed) {
  speed_ = speed;
  // Lines the other speeds played were not timed: the next timed line is the origin.
  pace_.Restart();
  pendingWaitMs_.reset();
  RestartPace();
}

ReplayStep ReplayController::TickRecorded(const LineStore& lines, int64_t nowMs,
                                          const std::function<void(std::string_view)>& play) {
  ReplayStep step;
  step.first = replayIndex_;
  if (state_ != ReplayState::Playing) return step;
  const double factor = RecordedFactor(speed_) > 0 ? RecordedFactor(speed_) : 1;
  const double now = static_cast<double>(nowMs);
  while (step.count < kMostLinesPerTick) {
    if (replayIndex_ >= lines.size()) {
      Finish();
      step.finished = true;
      break;
    }
    const std::string_view line = lines.line(replayIndex_);
    if (!pendingWaitMs_) {
      const RecordedPace::Wait wait = pace_.Next(line);
      pendingWaitMs_ = wait.ms;
      pendingSkippedMs_ = wait.skippedMs;
    }
    // Due times follow the last line's due time, not the clock's reading, so
    // late ticks do not add up to a slower replay.
    const double due = (lastDueMs_ ? *lastDueMs_ : now) + static_cast<double>(*pendingWaitMs_) / factor;
    if (due > now) {
      step.nextDueInMs = static_cast<int64_t>(due - now + 0.999);
      break;
    }
    play(line);
    lastDueMs_ = due;
    if (pendingSkippedMs_ != 0) step.skippedMs = pendingSkippedMs_;
    pendingWaitMs_.reset();
    pendingSkippedMs_ = 0;
    ++replayIndex_;
    ++step.count;
  }
  return step;
}

ReplayStep ReplayController::TickFast(const LineStore& lines, int64_t budgetUs,
                                      const std::function<void(std::string_view)>& play) {
  using Clock = std::chrono::steady_clock;
  ReplayStep step;
  step.first = replayIndex_;
  if (state_ != ReplayState::Playing) return step;
  const Clock::time_point end = Clock::now() + std::chrono::microseconds(budgetUs);
  // The clock is read once per batch: a line takes well under a microsecond.
  constexpr size_t kBatch = 512;
  const size_t total = lines.size();
  for (;;) {
    const size_t stop = std::min(total, replayIndex_ + kBatch);
    for (; replayIndex_ < stop; ++replayIndex_) play(lines.line(replayIndex_));
    step.count = replayIndex_ - step.first;
    if (replayIndex_ >= total) {
      Finish();
      step.finished = true;
      break;
    }
    if (Clock::now() >= end) break;
  }
  pendingWaitMs_.reset();
  pace_.Restart();
  return step;
}

bool ReplayController::SeekTo(size_t index, size_t lineCount) {
  if (lineCount == 0) return false;
  replayIndex_ = std::min(index, lineCount);
  pendingWaitMs_.reset();
  pendingSkippedMs_ = 0;
  pace_.Restart();
  RestartPace();
  if (state_ == ReplayState::Playing || state_ == ReplayState::Paused) return false;
  state_ = ReplayState::Paused;
  caption_ = "Continue";
  glyph_ = "ID_PLAY";
  return true;
}
