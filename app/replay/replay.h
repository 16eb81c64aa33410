#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

#include "app/replay/line_store.h"

enum class ReplayState { Empty, Loaded, Playing, Paused, Finished };

// What the replay button press did.
enum class ReplayAction { None, Start, Pause, Continue };

// Lines [first, first + count) of the loaded file are to be played, in order.
struct ReplayStep {
  size_t first = 0;
  size_t count = 0;
  bool finished = false;
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

 private:
  void Finish();

  ReplayState state_ = ReplayState::Empty;
  size_t replayIndex_ = 0;
  const char* caption_ = "Parser";
  const char* glyph_ = "ID_PLAY";
};
