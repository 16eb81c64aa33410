#pragma once

#include <QWidget>
#include <string_view>

class CNMEAParser;
namespace stats {
class SampleCollector;
struct AccuracyFigures;
}  // namespace stats

// What every part of the statistics window reads at its once-a-second refresh.
struct StatsContext {
  const CNMEAParser& Parser;              // the record the main window shows
  const stats::SampleCollector& Samples;  // every sample since the last restart
  const stats::AccuracyFigures& Figures;  // against the reference the user chose
};

// One tab of the statistics window. Tabs are fed while the window is hidden
// too, so that nothing received in the meantime is missing when it reopens.
class StatsTab : public QWidget {
 public:
  using QWidget::QWidget;

  // Once a second while the window is shown, and once when it is shown again.
  virtual void Refresh(const StatsContext& now) = 0;
  // The samples restart: a connection opened, a cold start, a replay started, Clear.
  virtual void Restart() {}
  // Every line the decoder is fed, live or replayed, before the decoder sees it.
  virtual void LineReceived(std::string_view line) { (void)line; }
};
