#pragma once

#include <QList>
#include <QPointF>
#include <QString>
#include <QtCharts/QChartView>
#include <vector>

#include "history_buckets.h"
#include "time_axis.h"

class QCategoryAxis;
class QLineSeries;
class QValueAxis;

namespace stats::history {

// What one strip chart shows: its title, the unit on its value axis, and up to
// two lines, each one series of the buckets.
struct ChartKind {
  const char* Title;
  const char* Unit;
  std::vector<Series> Lines;
  std::vector<const char*> LineNames;  // a legend when there is more than one line
  bool FromZero;                        // the value axis starts at 0
  bool Metres;                          // shown in km when the values reach 10 km
  // The least the value axis spans: what the values could mean (a centimetre,
  // a satellite), so that rounding noise is not blown up to fill the chart.
  double LeastSpan;
};

// A finite value axis range around [lo, hi], at least `leastSpan` long, from
// and to round numbers, with `ticks` ticks at a round step; from zero when
// asked and the values allow. Without values (lo > hi) or with non-finite
// ones, 0 to 1.
struct AxisRange {
  double Lo, Hi;
  int Ticks;
};
AxisRange ValueAxisRange(double lo, double hi, bool fromZero, double leastSpan);

// The line through one series' buckets: the extremes of each in the order they
// came, at the bucket's middle, x counted in buckets from `first` on; empty
// buckets are left out. Widens [lo, hi] to take in the values.
QList<QPointF> BucketLine(const Decimated& d, Series s, double first, double& lo, double& hi);

// One strip chart of the history: lines over UTC time. The time axis counts
// bucket widths from the line's start, so that a tick keeps its place as the
// range slides and its labels are replaced only when a tick comes or goes:
// Qt Charts lays the axis out again at each change of its labels.
class HistoryChart : public QChartView {
 public:
  explicit HistoryChart(const ChartKind& kind, QWidget* parent = nullptr);

  // `ticks` lie in the buckets' span.
  void Show(const Decimated& d, const std::vector<TimeTick>& ticks);

  // The width the lines are drawn in, pixels (0 before the first layout).
  int PlotWidth() const;
  // How wide the value axis' labels are, and room to add on their left,
  // pixels: charts stacked above each other line their times up so.
  int LabelWidth() const;
  void SetLeftRoom(int pixels);

 private:
  void SetTicks(const Decimated& d, const std::vector<TimeTick>& ticks);

  ChartKind kind_;
  std::vector<QLineSeries*> lines_;
  QCategoryAxis* time_;
  QValueAxis* value_;
  std::vector<std::pair<double, QString>> shownTicks_;
  int leftRoom_ = 0;
};

}  // namespace stats::history
