#include <QFile>
#include <QFileInfo>

#include <string_view>

#include "app/display/sky_view.h"
#include "app/display/status_text.h"
#include "bitmaps.h"
#include "file_chooser.h"
#include "main_form.h"
#include "main_unit.h"

// File replay: the open button loads a recording into ListBox2, the replay
// button starts, pauses and continues it, and each ParserTimer tick plays up
// to five of its lines through NMEAParser, echoing them in ListBox1.

void TMainForm::ShowReplayState() {
  ParserButton->setText(QString::fromLatin1(Replay.caption()));
  ParserButton->setIcon(LoadGlyph(Replay.glyph()));
  ComBtn1->setEnabled(Replay.connectAndLogEnabled());
  LogButton->setEnabled(Replay.connectAndLogEnabled());
  if (!Replay.timerOn()) {
    ParserTimer->stop();
  } else if (!ParserTimer->isActive()) {
    ParserTimer->start();
  }
  IsReplaying = Replay.IsReplaying() ? 1 : 0;
  ReplayIndex = static_cast<int32_t>(Replay.ReplayIndex());
}

// The refresh tick shows the record only while a replay plays, so the lines
// played on the tick that pauses or finishes the replay would never be shown:
// this refresh shows them, and the display then keeps them.
void TMainForm::ShowReplayedValues() {
  // No second has passed since the last tick: take back the one the refresh
  // will add to the time without a 3D fix.
  if (TtffCounts(NMEAParser.GsaFixType)) --TTFFCount;
  UpdateNMEA(1);
  // A refresh draws the sky on the hidden image and shows the one drawn a
  // refresh earlier; no tick follows this one, so show what it drew. The next
  // tick then draws on the other image, hidden again.
  const bool drewImage1 = SkyBufferToDraw(TimerTicks) == SkyBuffer::Image1;
  Image1->setVisible(drewImage1);
  Image3->setVisible(!drewImage1);
}

void TMainForm::LoadButtonClick() {
  // A playing replay ends here, so the new file starts from its first line
  // and connecting and logging work again while it is loaded.
  const bool wasPlaying = Replay.state() == ReplayState::Playing;
  Replay.BeginOpen();
  if (wasPlaying) {
    ShowReplayState();
    ShowReplayedValues();
  }
  ListBox1Lines->clear();
  ListBox2Lines->clear();

  QFileDialog& dialog = OpenDialog1();
  dialog.setWindowTitle(QStringLiteral("Open NMEA Log File"));
  const QString fileName = ChooseFile(dialog);
  if (fileName.isEmpty()) return;
  ParserTimer->stop();
  if (!QFileInfo::exists(fileName)) return;
  // Throws "Cannot open file ..." for a file that cannot be read; the lists stay empty.
  ListBox2Lines->loadFromFile(QFile::encodeName(fileName).toStdString());
  Replay.FileLoaded();
  ParserButton->setText(QString::fromLatin1(Replay.caption()));
}

void TMainForm::ParserButtonClick() {
  const ReplayAction action = Replay.PressButton(ListBox2Lines->count());
  if (action == ReplayAction::None) return;
  if (action == ReplayAction::Start) WatchForGnssOffer();
  ShowReplayState();
  if (action == ReplayAction::Pause) ShowReplayedValues();
}

void TMainForm::ParserTimerTimer() {
  const ReplayStep step = Replay.Tick(ListBox2Lines->lines(), [this](std::string_view line) {
    ListBox1Lines->appendLine(line);
    NMEAParser.FeedBytes(line.data(), static_cast<uint32_t>(line.size()));
  });
  if (step.finished) {
    ShowReplayState();
  } else {
    ReplayIndex = static_cast<int32_t>(Replay.ReplayIndex());
  }
  ListBox1Lines->flush();
  CheckGnssOffer();
  const int rows = ListBox1Lines->rowCount();
  if (rows > 0) ListBox1->scrollTo(ListBox1Lines->index(rows - 1), QAbstractItemView::PositionAtTop);
  if (step.finished) ShowReplayedValues();
}
