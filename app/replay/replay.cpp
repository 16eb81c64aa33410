#include "app/replay/replay.h"

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
      return ReplayAction::Continue;
    case ReplayState::Empty:
    case ReplayState::Loaded:
    case ReplayState::Finished:
      replayIndex_ = 0;
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
