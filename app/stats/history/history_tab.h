#pragma once

#include <array>
#include <optional>

#include "app/stats/stats_tab.h"
#include "history_store.h"
#include "history_summary.h"
#include "local_frame.h"

class QComboBox;
class QLabel;

namespace stats::history {

class HistoryChart;

// Strip charts of the samples over their UTC time: satellites used and in
// view, HDOP, mean top-4 SNR, and the horizontal and altitude errors from the
// reference. Every sample is counted in what is drawn; what is drawn is cut
// to the extremes per pixel column.
class HistoryTab : public StatsTab {
 public:
  static constexpr size_t kChartCount = 5;

  explicit HistoryTab(QWidget* parent = nullptr);
  ~HistoryTab() override;

  void Refresh(const StatsContext& now) override;
  void Restart() override;

  // Bytes the history holds: the points and their summary.
  size_t BytesHeld() const { return store_.BytesHeld() + summary_.BytesHeld(); }
  const HistoryChart& Chart(size_t i) const { return *charts_[i]; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Redraw();
  void LineUpPlots();
  size_t BucketCount() const;

  QComboBox* span_;
  QLabel* note_;
  std::array<HistoryChart*, kChartCount> charts_;
  HistoryStore store_;
  HistorySummary summary_;
  // The errors are drawn from it; it moves as the mean moves.
  std::optional<LocalFrame> reference_;
  bool stale_ = false;  // refreshed while hidden
};

}  // namespace stats::history
