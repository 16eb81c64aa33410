#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "app/replay/line_store.h"
#include "app/replay/recorded_time.h"

enum class ReplayState { Empty, Loaded, Playing, Paused, Finished };

// What the replay button press did.
enum class ReplayAction { None, Start, Pause, Continue };

// How fast a replay plays. LinesPerSecond is the default: five lines a tick.
// The Recorded speeds follow the sentences' own times, sped up; AsFast
// decodes in slices that leave the window free between them.
enum class ReplaySpeed { LinesPerSecond, Recorded1, Recorded2, Recorded5, Recorded10, Recorded60, AsFast };

// The factor of a Recorded speed, 0 for the others.
int RecordedFactor(ReplaySpeed speed);

// Lines [first, first + count) of the loaded file are to be played, in order.
struct ReplayStep {
  size_t first = 0;
  size_t count = 0;
  bool finished = false;
  // Recorded speeds: milliseconds from the tick's clock reading until the
  // next line is due (0 when it already is), and a gap the tick's lines
  // shortened (0 for none, negative for a clock that went back).
  int64_t nextDueInMs = 0;
  int64_t skippedMs = 0;
};

// The replay of a loaded recording, five lines per tick, without any widget:
// the window shows caption(), glyph(), timerOn() and connectAndLogEnabled()
// after every call, and feeds the lines a tick names.
class ReplayController {
 public:
  static constexpr size_t kLinesPerTick = 5;

  ReplayState state() const { return state_; }
  bool IsReplaying() const { return state_ == ReplayState::Playing; }
  size_t ReplayIndex() const { return replayIndex_; }

  const char* caption() const { return caption_; }
  const char* glyph() const { return glyph_; }
  bool timerOn() const { return state_ == ReplayState::Playing; }
  bool connectAndLogEnabled() const { return state_ != ReplayState::Playing; }

  // The open button, before the dialog shows: both lists are being emptied.
  // A playing replay ends here, as if it had reached its end, so a new file
  // starts from its first line and the connect and log buttons work again.
  void BeginOpen();
  // The chosen file's lines are loaded.
  void FileLoaded();

  // The replay button, with the number of loaded lines.
  ReplayAction PressButton(size_t lineCount);

  // One replay tick: up to five lines; the end is noticed at the start of an
  // iteration, so the tick that plays the last lines of a file whose length is
  // not a multiple of five also finishes.
  ReplayStep Tick(size_t lineCount);
  // The same, handing each line to `play` (echo it and feed it to the decoder)
  // exactly as stored, an empty line with length 0.
  ReplayStep Tick(const LineStore& lines, const std::function<void(std::string_view)>& play);

  ReplaySpeed speed() const { return speed_; }
  // Takes effect at once; a playing replay keeps its place and times the next
  // line from now.
  void SetSpeed(ReplaySpeed speed);

  // A Recorded speed's tick at `nowMs` (any steady clock in milliseconds):
  // plays every line whose time has come, at most kMostLinesPerTick of them.
  ReplayStep TickRecorded(const LineStore& lines, int64_t nowMs, const std::function<void(std::string_view)>& play);
  static constexpr size_t kMostLinesPerTick = 20000;

  // As fast as possible: plays lines until `budgetUs` microseconds have
  // passed, then returns so the window can answer events.
  ReplayStep TickFast(const LineStore& lines, int64_t budgetUs, const std::function<void(std::string_view)>& play);

  // Goes to line `index` (lines [0, index) count as played). A playing or
  // paused replay stays as it is; a loaded or finished one becomes a paused
  // one, as if started and paused there. Returns whether it began a new run
  // (the window then restarts what a start restarts).
  bool SeekTo(size_t index, size_t lineCount);

 private:
  void Finish();
  // The next line of a Recorded speed is timed afresh from the next tick.
  void RestartPace();

  ReplayState state_ = ReplayState::Empty;
  size_t replayIndex_ = 0;
  const char* caption_ = "Parser";
  const char* glyph_ = "ID_PLAY";
  ReplaySpeed speed_ = ReplaySpeed::LinesPerSecond;
  RecordedPace pace_;
  // The wait of line replayIndex_ in recorded milliseconds, once read.
  std::optional<int64_t> pendingWaitMs_;
  int64_t pendingSkippedMs_ = 0;
  // When the last line played was due, on the caller's clock; none after a restart.
  std::optional<double> lastDueMs_;
};
