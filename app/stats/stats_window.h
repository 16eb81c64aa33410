#pragma once

#include <QString>
#include <QWidget>

#include <optional>
#include <string_view>

#include "app/stats/stats_session.h"

class CNMEAParser;
class DeviationMap;
class FiguresPanel;
class FiguresWorker;
class QPushButton;
class QTabWidget;
class QTimer;
class ReferenceBox;
class StatsTab;

// The statistics window: a separate, non-modal top-level window with the
// deviation map, the figures, the reference and the tabs. It gathers samples
// from the moment it is made until it is destroyed, shown or hidden, so that
// closing it loses nothing; it refreshes once a second only while shown.
class StatsWindow : public QWidget {
  Q_OBJECT

 public:
  explicit StatsWindow(CNMEAParser& parser, QWidget* parent = nullptr);
  ~StatsWindow() override;

  // Adds a tab after those already there; the window owns it from now on and
  // tells it of every line, restart and refresh.
  void AddTab(StatsTab* tab, const QString& title);

  StatsSession& Session() { return session_; }
  // The samples and every tab start again.
  void Restart();
  // A line the decoder is about to be fed.
  void LineReceived(std::string_view line) { session_.LineReceived(line); }

  // The once-a-second refresh: the figures once, then the map, the panel and
  // every tab. With many samples the figures are computed on another thread
  // and shown when they come; the figures shown are then those of the
  // samples up to the last computation, with their count.
  void RefreshNow();
  // From how many samples on the figures are computed on another thread.
  void SetBackgroundFiguresFrom(size_t samples) { backgroundFrom_ = samples; }
  bool ComputingFigures() const;
  // Blocks until figures being computed are ready to come through the event loop.
  void WaitForFigures();
  // Every figure as `name<TAB>value<TAB>unit` lines, as they stand now.
  QString FiguresText() const;
  void CopyFigures() const;
  // Throw "Cannot create file ..." when the file cannot be written.
  void SaveSamples(const QString& path);
  void SavePicture(const QString& path);

  DeviationMap* Map;
  FiguresPanel* Figures;
  ReferenceBox* Reference;
  QTabWidget* Tabs;
  QPushButton* CopyButton;
  QPushButton* FitButton;
  QPushButton* ClearButton;
  QPushButton* SaveCsvButton;
  QPushButton* SavePictureButton;
  QTimer* RefreshTimer;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void ChooseAndSave(const QString& title, const QString& filter, const QString& suffix,
                     void (StatsWindow::*save)(const QString&));
  void UseMean();
  // The map and the panel, when the latest figures are not drawn yet.
  void ShowLatestFigures();

  StatsSession session_;
  FiguresWorker* worker_;
  // A tenth of a day at 10 Hz: some 7 ms to compute here.
  size_t backgroundFrom_ = 100000;
  std::optional<StatsSession::Version> drawn_;
};

// Adds the window's tabs, in their order: History, Now, Satellites, Link.
void AddStatsTabs(StatsWindow& window);
