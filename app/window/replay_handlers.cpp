#include <string_view>

#include "app/replay_strip/replay_strip.h"
#include "app/window/bitmaps.h"
#include "app/window/main_form.h"
#include "app/window/main_unit.h"
#include "app/stats/stats_window.h"

// File replay: the open button loads a recording into ListBox2 (see
// load_handlers.cpp), the replay button starts, pauses and continues it, and
// each ParserTimer tick plays up to five of its lines through NMEAParser,
// echoing them in ListBox1.

void TMainForm::ShowReplayState() {
  ParserButton->setText(QString::fromLatin1(Replay.caption()));
  ParserButton->setIcon(LoadGlyph(Replay.glyph()));
  ComBtn1->setEnabled(Replay.connectAndLogEnabled());
  LogButton->setEnabled(Replay.connectAndLogEnabled());
  if (!Replay.timerOn()) {
    ParserTimer->stop();
  } else if (!ParserTimer->isActive()) {
    ParserTimer->setInterval(ReplayTickInterval());
    ParserTimer->start();
  }
  IsReplaying = Replay.IsReplaying() ? 1 : 0;
  ReplayIndex = static_cast<int32_t>(Replay.ReplayIndex());
}

void TMainForm::ParserButtonClick() {
  const ReplayAction action = Replay.PressButton(ListBox2Lines->count());
  if (action == ReplayAction::None) return;
  if (action == ReplayAction::Start) {
    // The file's sentences owe nothing to the last source's fix; the offer's
    // watch counts from the reset.
    NMEAParser.ResetRecord();
    RestartStatistics();
    WatchForGnssOffer();
    ReplayListBase = ListBox1Lines->count();
    ReplaySentenceBase = NMEAParser.SentenceTotal;
  }
  ShowReplayState();
  if (action == ReplayAction::Pause) {
    // The fastest speed may hold lines it has not shown yet.
    ListBox1Lines->flush();
    ShowReplayPosition();
    RefreshOnce();
  }
}

void TMainForm::ParserTimerTimer() {
  if (Replay.speed() != ReplaySpeed::LinesPerSecond) {
    const ReplayStep step = PlayFasterTick();
    if (step.finished) {
      ShowReplayState();
      RefreshOnce();
    }
    return;
  }
  const ReplayStep step = Replay.Tick(ListBox2Lines->lines(), [this](std::string_view line) {
    if (Statistics) Statistics->LineReceived(line);
    NMEAParser.FeedBytes(line.data(), static_cast<uint32_t>(line.size()));
  });
  // The played lines show in ListBox1 as references to the loaded file's own.
  ListBox1Lines->appendShared(*ListBox2Lines, step.first, step.count);
  if (step.finished) {
    ShowReplayState();
  } else {
    ReplayIndex = static_cast<int32_t>(Replay.ReplayIndex());
  }
  ListBox1Lines->flush();
  CheckGnssOffer();
  ShowListBox1End();
  ShowReplayPosition();
  if (step.finished) RefreshOnce();
}
