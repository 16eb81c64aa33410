#include <QAction>
#include <QKeySequence>

#include "app/dialogs/message_box.h"
#include "app/stats/stats_window.h"
#include "app/window/main_form.h"
#include "app/window/main_unit.h"

// The statistics window opens from the context menu or with Ctrl+T; it is
// made on first use and only hidden when closed.
void TMainForm::SetUpStatistics() {
  StatisticsAction = new QAction(QStringLiteral("Statistics…"), this);
  StatisticsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
  StatisticsAction->setShortcutContext(Qt::WindowShortcut);
  // Added to the window as well, so that the shortcut works without the menu.
  addAction(StatisticsAction);
  connect(StatisticsAction, &QAction::triggered, this, [this] { RunReported([this] { ShowStatistics(); }); });
}

void TMainForm::ShowStatistics() {
  if (!Statistics) Statistics = std::make_unique<StatsWindow>(NMEAParser);
  Statistics->show();
  Statistics->raise();
  Statistics->activateWindow();
}

void TMainForm::RestartStatistics() {
  if (Statistics) Statistics->Restart();
}
