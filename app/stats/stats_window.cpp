#include "app/stats/stats_window.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <QShowEvent>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <stdexcept>

#include "app/dialogs/file_chooser.h"
#include "app/dialogs/message_box.h"
#include "app/settings/settings.h"
#include "app/stats/deviation_map.h"
#include "app/stats/figures_panel.h"
#include "app/stats/figures_worker.h"
#include "app/stats/reference_box.h"
#include "app/stats/stats_tab.h"
#include "epochs_csv.h"
#include "figure_text.h"

namespace {

constexpr int kRefreshMs = 1000;

[[noreturn]] void CannotCreate(const QString& path) {
  throw std::runtime_error("Cannot create file " + path.toStdString());
}

QPushButton* Button(const char* text, QWidget* parent) {
  return new QPushButton(QString::fromUtf8(text), parent);
}

}  // namespace

StatsWindow::StatsWindow(CNMEAParser& parser, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(parser), worker_(new FiguresWorker(this)) {
  setWindowTitle(QStringLiteral("Statistics"));
  Map = new DeviationMap(this);
  Figures = new FiguresPanel(this);
  Reference = new ReferenceBox(this);
  Tabs = new QTabWidget(this);
  Tabs->hide();  // until a tab comes
  CopyButton = Button("Copy", this);
  CopyButton->setToolTip(QStringLiteral("Copy every figure as name, value and unit (Ctrl+Shift+C)"));
  FitButton = Button("Fit map", this);
  FitButton->setToolTip(QStringLiteral("Fit the map to the samples again (or double-click the map)"));
  FitButton->setEnabled(false);
  ClearButton = Button("Clear", this);
  SaveCsvButton = Button("Save samples as CSV…", this);
  SavePictureButton = Button("Save picture…", this);

  // The reference beside the figures rather than above them: the figures
  // are all in sight and the map keeps its height.
  auto* figures = new QVBoxLayout();
  figures->addWidget(Figures);
  auto* figureButtons = new QHBoxLayout();
  figureButtons->addWidget(CopyButton);
  figureButtons->addWidget(FitButton);
  figures->addLayout(figureButtons);
  figures->addStretch(1);
  auto* reference = new QVBoxLayout();
  reference->addWidget(Reference);
  reference->addStretch(1);
  auto* top = new QWidget(this);
  auto* topLayout = new QHBoxLayout(top);
  topLayout->setContentsMargins(0, 0, 0, 0);
  topLayout->addWidget(Map, 1);
  topLayout->addLayout(reference);
  topLayout->addLayout(figures);
  auto* split = new QSplitter(Qt::Vertical, this);
  split->addWidget(top);
  split->addWidget(Tabs);
  // The top is as tall as the figures; the charts take the rest.
  split->setStretchFactor(0, 0);
  split->setStretchFactor(1, 1);
  auto* buttons = new QHBoxLayout();
  buttons->addWidget(ClearButton);
  buttons->addStretch(1);
  buttons->addWidget(SaveCsvButton);
  buttons->addWidget(SavePictureButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(split, 1);
  layout->addLayout(buttons);
  // Fits a 1280×1024 screen with room for its panels and the title bar.
  resize(1200, 900);
  split->setSizes({top->minimumSizeHint().height(), height()});
  // Where the user left it last time; a geometry that no longer fits the
  // screens is moved onto one by Qt itself.
  const QByteArray geometry = StatsGeometrySetting();
  if (!geometry.isEmpty()) restoreGeometry(geometry);

  RefreshTimer = new QTimer(this);
  RefreshTimer->setInterval(kRefreshMs);
  const auto reported = [this](auto handler) {
    return [this, handler] { RunReported([this, handler] { (this->*handler)(); }); };
  };
  connect(RefreshTimer, &QTimer::timeout, this, reported(&StatsWindow::RefreshNow));
  connect(CopyButton, &QPushButton::clicked, this, reported(&StatsWindow::CopyFigures));
  // Wherever the focus is in the window, a table or a field included.
  auto* copy = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), this);
  copy->setContext(Qt::WindowShortcut);
  connect(copy, &QShortcut::activated, this, reported(&StatsWindow::CopyFigures));
  connect(FitButton, &QPushButton::clicked, Map, &DeviationMap::FitAutomatically);
  connect(Map, &DeviationMap::zoomChanged, FitButton, &QPushButton::setEnabled);
  connect(ClearButton, &QPushButton::clicked, this, [this] {
    Restart();
    RefreshNow();
  });
  connect(SaveCsvButton, &QPushButton::clicked, this, [this] {
    RunReported([this] {
      ChooseAndSave(QStringLiteral("Save samples as CSV"), QStringLiteral("CSV (*.csv)"), QStringLiteral("csv"),
                    &StatsWindow::SaveSamples);
    });
  });
  connect(SavePictureButton, &QPushButton::clicked, this, [this] {
    RunReported([this] {
      ChooseAndSave(QStringLiteral("Save picture"), QStringLiteral("PNG (*.png)"), QStringLiteral("png"),
                    &StatsWindow::SavePicture);
    });
  });
  connect(Reference, &ReferenceBox::referenceChanged, this, [this] {
    session_.SetReference(Reference->Reference());
    if (isVisible()) RefreshNow();
  });
  connect(Reference, &ReferenceBox::useMeanRequested, this, &StatsWindow::UseMean);
  connect(worker_, &FiguresWorker::computed, this,
          [this](const StatsSession::Version& version, const stats::AccuracyFigures& figures) {
            session_.Adopt(version, figures);
            if (isVisible()) ShowLatestFigures();
          });
  session_.SetReference(Reference->Reference());

  AddStatsTabs(*this);
}

StatsWindow::~StatsWindow() = default;

void StatsWindow::AddTab(StatsTab* tab, const QString& title) {
  Tabs->addTab(tab, title);
  Tabs->show();
  session_.AddTab(tab);
}

void StatsWindow::Restart() {
  session_.Restart();
  Map->Forget();
}

void StatsWindow::RefreshNow() {
  if (session_.Samples().Samples().Size() < backgroundFrom_) {
    session_.Figures();
  } else if (session_.LatestVersion() != session_.CurrentVersion()) {
    worker_->Start(session_);  // when it runs already, the next second asks again
  }
  ShowLatestFigures();
  const StatsContext now{session_.Parser(), session_.Samples(), session_.LatestFigures()};
  for (StatsTab* tab : session_.Tabs()) tab->Refresh(now);
}

void StatsWindow::ShowLatestFigures() {
  // The newest minute is the samples' own, so the map too changes only with them.
  if (drawn_ == session_.LatestVersion()) return;
  Map->Refresh(session_.Samples().Samples(), session_.LatestFigures());
  Figures->Refresh(session_.LatestFigures());
  drawn_ = session_.LatestVersion();
}

bool StatsWindow::ComputingFigures() const { return worker_->Running(); }

void StatsWindow::WaitForFigures() { worker_->Wait(); }

QString StatsWindow::FiguresText() const {
  return QString::fromStdString(stats::FiguresTabText(session_.Figures()));
}

void StatsWindow::CopyFigures() const { QApplication::clipboard()->setText(FiguresText()); }

void StatsWindow::SaveSamples(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) CannotCreate(path);
  const std::string rows =
      stats::EpochsCsvHeader() + stats::EpochsCsvRows(session_.Samples().Samples(), session_.Figures());
  if (file.write(rows.data(), static_cast<qint64>(rows.size())) != static_cast<qint64>(rows.size()) ||
      !file.flush()) {
    CannotCreate(path);
  }
}

void StatsWindow::SavePicture(const QString& path) {
  if (!grab().save(path, "PNG")) CannotCreate(path);
}

void StatsWindow::ChooseAndSave(const QString& title, const QString& filter, const QString& suffix,
                                void (StatsWindow::*save)(const QString&)) {
  QFileDialog dialog(this, title);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters({filter, QStringLiteral("ALL (*)")});
  dialog.setDefaultSuffix(suffix);
  const QString path = ChooseFile(dialog);
  if (!path.isEmpty()) (this->*save)(path);
}

void StatsWindow::UseMean() {
  const stats::AccuracyFigures figures = session_.Figures();
  const auto lat = figures[stats::Figure::MeanLat];
  const auto lon = figures[stats::Figure::MeanLon];
  if (!lat || !lon) {
    ShowMessage(QStringLiteral("There is no mean yet: no position fix has been received."));
    return;
  }
  Reference->SetFixedPoint(*lat, *lon, figures[stats::Figure::MeanAlt]);
}

void StatsWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  RefreshNow();
  RefreshTimer->start();
}

void StatsWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  RefreshTimer->stop();
  SaveStatsGeometrySetting(saveGeometry());
}
