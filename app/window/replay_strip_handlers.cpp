#include <QAbstractItemView>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <string_view>

#include "app/dialogs/message_box.h"
#include "app/replay/recorded_time.h"
#include "app/replay_strip/replay_strip.h"
#include "app/stats/stats_window.h"
#include "app/window/main_form.h"
#include "app/window/main_unit.h"

// The replay's strip: speeds besides the default five lines a tick, the
// position in the file, and going to any line or recorded time.

namespace {

// Lines looked back over for the time the position shows: a few epochs.
constexpr size_t kTimeLookBack = 64;
// The fastest speed decodes this long per turn of the event loop, so the
// window still answers input within a frame.
constexpr int64_t kFastSliceUs = 4000;
// Longest wait between two recorded-time ticks: the position moves at least this often.
constexpr int kLongestRecordedTickMs = 250;
constexpr int kShowEveryMs = 1000;
// Rows the line list lays out per turn of the event loop while a file is
// loaded, about 20 ms of work: a list of millions of played lines is laid out
// over many turns instead of holding the window for seconds. A shorter list
// is laid out at once, as without a file.
constexpr int kListLayoutBatch = 200000;
// How often to look whether that layout has reached the last row.
constexpr int kListScrollRetryMs = 20;

}  // namespace

void TMainForm::SetUpReplayStrip() {
  Strip = new ReplayStrip(this);
  Strip->setGeometry(0, height(), width(), ReplayStrip::kHeight);
  Strip->hide();
  for (QWidget* child : Strip->findChildren<QWidget*>()) child->installEventFilter(this);
  Strip->installEventFilter(this);
  ReplayClock.start();
  ReplayShown.start();

  // The index reads the loaded file's lines from its own thread: it stops
  // before they change and starts again on the new ones.
  connect(ListBox2Lines, &QAbstractItemModel::modelAboutToBeReset, this, [this] { ReplaySeeks.Stop(); });
  connect(ListBox2Lines, &QAbstractItemModel::modelReset, this, [this] { RunReported([this] { ReplayFileChanged(); }); });
  connect(Strip, &ReplayStrip::SpeedChosen, this,
          [this](ReplaySpeed speed) { RunReported([this, speed] { ReplaySpeedChosen(speed); }); });
  connect(Strip, &ReplayStrip::LineChosen, this, [this](size_t line) { RunReported([this, line] { SeekReplay(line); }); });
  connect(Strip, &ReplayStrip::TimeChosen, this,
          [this](int32_t ms) { RunReported([this, ms] { SeekReplayToTime(ms); }); });
}

void TMainForm::ReplayFileChanged() {
  // Without a file the window is exactly the fixed layout; with one it grows
  // by the strip below it.
  const int layoutHeight = Strip->y();
  // A replay that ended with the open button may have held lines back.
  ListBox1Lines->holdAnnouncements(false);
  if (ListBox2Lines->count() == 0) {
    Strip->hide();
    setFixedSize(width(), layoutHeight);
    for (const QPointer<QWidget>& control : HiddenBelowLayout) {
      if (control) control->show();
    }
    HiddenBelowLayout.clear();
    ListBox1->setLayoutMode(QListView::SinglePass);
    return;
  }
  ReplaySeeks.Build(ListBox2Lines->lines(), NMEAParser.GnssMode());
  // The controls that hold data sit below the layout, where the grown window
  // would show them (and Tab would reach them): they hide while it is grown.
  if (Strip->isHidden()) {
    for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (control != Strip && control->isVisibleTo(this) && control->y() >= layoutHeight) {
        control->hide();
        HiddenBelowLayout.append(control);
      }
    }
  }
  setFixedSize(width(), layoutHeight + ReplayStrip::kHeight);
  Strip->show();
  ListBox1->setBatchSize(kListLayoutBatch);
  ListBox1->setLayoutMode(QListView::Batched);
  ShowReplayPosition();
}

void TMainForm::ReplaySpeedChosen(ReplaySpeed speed) {
  Replay.SetSpeed(speed);
  ListBox1Lines->holdAnnouncements(false);
  ListBox1Lines->flush();
  if (ParserTimer->isActive()) {
    ParserTimer->setInterval(ReplayTickInterval());
    ParserTimer->start();
  }
}

int TMainForm::ReplayTickInterval() const {
  // The recorded speeds set the wait for their next line at every tick.
  return Replay.speed() == ReplaySpeed::LinesPerSecond ? 1000 : 0;
}

ReplayStep TMainForm::PlayFasterTick() {
  const auto play = [this](std::string_view line) {
    if (Statistics) Statistics->LineReceived(line);
    NMEAParser.FeedBytes(line.data(), static_cast<uint32_t>(line.size()));
  };
  const bool fast = Replay.speed() == ReplaySpeed::AsFast;
  // These speeds tell the line list of their lines below, not at every tick.
  ListBox1Lines->holdAnnouncements(true);
  const ReplayStep step = fast ? Replay.TickFast(ListBox2Lines->lines(), kFastSliceUs, play)
                               : Replay.TickRecorded(ListBox2Lines->lines(), ReplayClock.elapsed(), play);
  ListBox1Lines->appendShared(*ListBox2Lines, step.first, step.count);
  ReplayIndex = static_cast<int32_t>(std::min<size_t>(Replay.ReplayIndex(), INT32_MAX));
  if (!fast) {
    if (step.skippedMs != 0) Strip->ShowSkipped(step.skippedMs);
    if (!step.finished) {
      ParserTimer->setInterval(static_cast<int>(std::clamp<int64_t>(step.nextDueInMs, 0, kLongestRecordedTickMs)));
    }
  }
  // The played lines and the position show every quarter second, the
  // fastest speed's once a second, and never before the line list has laid
  // out what it was told last time: the layout of new rows starts again from
  // the first, and a list of millions of lines takes longer than a second.
  // The list's layout is kept to a quarter of the time. The refresh tick
  // redraws the display meanwhile.
  const qint64 showEveryMs = std::max<qint64>(fast ? kShowEveryMs : kLongestRecordedTickMs, 4 * ListBox1LayoutMs);
  const bool showNow = step.finished || (ReplayShown.elapsed() >= showEveryMs && !ListBox1EndPending);
  const bool unshown = static_cast<size_t>(ListBox1Lines->rowCount()) < ListBox1Lines->count();
  if (unshown && showNow) {
    ListBox1Lines->flush();
    CheckGnssOffer();
    ShowListBox1End();
    ShowReplayPosition();
    ReplayShown.restart();
  }
  if (step.finished) ListBox1Lines->holdAnnouncements(false);
  return step;
}

void TMainForm::ShowListBox1End(bool again) {
  if (!again) ListBox1LayoutClock.restart();
  const int rows = ListBox1Lines->rowCount();
  if (rows == 0) return;
  const QModelIndex last = ListBox1Lines->index(rows - 1);
  ListBox1->scrollTo(last, QAbstractItemView::PositionAtTop);
  // A list laid out in batches knows the last row's place only once the
  // layout reaches it: scroll again then.
  if (ListBox1->visualRect(last).isValid()) {
    ListBox1LayoutMs = ListBox1LayoutClock.elapsed();
    return;
  }
  if (ListBox1EndPending) return;
  ListBox1EndPending = true;
  QTimer::singleShot(kListScrollRetryMs, this, [this] {
    ListBox1EndPending = false;
    ShowListBox1End(true);
  });
}

void TMainForm::ShowReplayPosition() {
  if (Strip->isHidden()) return;
  const size_t total = ListBox2Lines->count();
  const size_t played = std::min(Replay.ReplayIndex(), total);
  std::optional<int32_t> time;
  const LineStore& lines = ListBox2Lines->lines();
  for (size_t i = played; i > 0 && played - i < kTimeLookBack && !time; --i) time = LineUtcMs(lines.line(i - 1));
  Strip->ShowPosition(played, total, time);
}

void TMainForm::SeekReplay(size_t index) {
  const size_t total = ListBox2Lines->count();
  if (total == 0) return;
  index = std::min(index, total);
  if (Replay.SeekTo(index, total)) {
    // Going into a file that is not playing starts a replay there, as the
    // replay button would, paused at the line.
    ReplayListBase = ListBox1Lines->count();
    ReplaySentenceBase = NMEAParser.SentenceTotal;
    WatchForGnssOffer();
  }
  ReplaySeeks.StateAt(index, NMEAParser);
  NMEAParser.SentenceTotal += ReplaySentenceBase;
  TTFFCount = 0;
  RestartStatistics();
  ListBox1Lines->truncate(std::min(ReplayListBase, ListBox1Lines->count()));
  ListBox1Lines->appendShared(*ListBox2Lines, 0, index);
  ListBox1Lines->flush();
  ShowListBox1End();
  ShowReplayState();
  RefreshOnce();
  ShowReplayPosition();
}

void TMainForm::SeekReplayToTime(int32_t utcMs) {
  if (const auto line = ReplaySeeks.FindTime(utcMs)) {
    SeekReplay(*line);
    return;
  }
  char text[16];
  const std::string_view shown = FormatUtcMs(utcMs, text);
  Strip->ShowNotFound(QString::fromLatin1(shown.data(), static_cast<qsizetype>(shown.size())) +
                      QStringLiteral(" UTC in the file"));
}
