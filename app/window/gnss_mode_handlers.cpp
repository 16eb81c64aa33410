#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>

#include <memory>

#include "app/views/gnss_sky.h"
#include "app/window/main_form.h"
#include "app/window/main_unit.h"
#include "app/dialogs/message_box.h"
#include "app/settings/settings.h"
#include "app/views/signal_chart.h"

// The mode's entry sits in a context menu on every part of the window, so the
// layout stays as it is; an edit box keeps its own entries above it.
void TMainForm::SetUpGnssMode() {
  GnssModeAction = new QAction(QString::fromLatin1(kGnssMenuText), this);
  GnssModeAction->setCheckable(true);
  connect(GnssModeAction, &QAction::triggered, this, [this](bool on) {
    RunReported([this, on] {
      SetGnssMode(on);
      SaveGnssModeSetting(on);
    });
  });
  installEventFilter(this);
  for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
  SetGnssMode(GnssModeSetting());
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ContextMenu || !watched->isWidgetType()) return QWidget::eventFilter(watched, event);
  auto* widget = static_cast<QWidget*>(watched);
  const QPoint at = static_cast<QContextMenuEvent*>(event)->globalPos();
  std::unique_ptr<QMenu> menu;
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    menu.reset(edit->createStandardContextMenu());
    menu->addSeparator();
  } else {
    menu = std::make_unique<QMenu>();
  }
  menu->addAction(GnssModeAction);
  menu->addAction(StatisticsAction);
  menu->addSeparator();
  // Asked each time, so the entries follow the open button without a signal.
  const bool loaded = ListBox2Lines->count() > 0;
  SaveGpxAction->setEnabled(loaded);
  SaveKmlAction->setEnabled(loaded);
  menu->addAction(SaveGpxAction);
  menu->addAction(SaveKmlAction);
  menu->exec(at);
  return true;
}

void TMainForm::SetGnssMode(bool on) {
  GnssModeAction->setChecked(on);
  if (NMEAParser.GnssMode() == on) return;
  NMEAParser.SetGnssMode(on);
  NMEAParser.ResetRecord();
  // Saved decoder states hold the mode they were decoded in.
  if (ListBox2Lines->count() > 0) ReplaySeeks.Build(ListBox2Lines->lines(), on);
  for (int column = 1; column <= kChartSlots; ++column) StringGrid1->item(0, column)->setText(QString());
  // The default mode's numbers are drawn in the window's own font; GNSS mode
  // sets a smaller one at its refresh when its labels need it.
  if (!on) StringGrid1->setFont(font());
  if (!Shown || !EarthBitmap) return;
  for (CanvasImage* sky : {Image1, Image3}) {
    DrawGnssModeMark(sky->Canvas(), *EarthBitmap, on);
    sky->update();
  }
}

void TMainForm::WatchForGnssOffer() {
  GnssOffer.Start(NMEAParser.GpFixSentences, NMEAParser.OtherTalkerFixSentences);
  GnssOfferClock.start();
}

// Asked after the handler that fed the decoder has finished, so the question's
// wait never sits inside the receive or replay path.
void TMainForm::CheckGnssOffer() {
  if (NMEAParser.GnssMode() || !GnssOfferClock.isValid()) return;
  if (!GnssOffer.Due(NMEAParser.GpFixSentences, NMEAParser.OtherTalkerFixSentences, GnssOfferClock.elapsed())) return;
  QTimer::singleShot(0, this, [this] {
    RunReported([this] {
      if (!NMEAParser.GnssMode() && AskQuestion(QString::fromLatin1(kGnssOfferText))) {
        SetGnssMode(true);
        SaveGnssModeSetting(true);
      }
    });
  });
}
