#include "history_chart.h"

#include <QtCharts/QCategoryAxis>
#include <QtCharts/QLegend>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <cmath>

namespace stats::history {

namespace {

constexpr double kMetresToKm = 10000.0;  // from here on, kilometres

}  // namespace

AxisRange ValueAxisRange(double lo, double hi, bool fromZero) {
  if (!(lo <= hi) || !std::isfinite(lo) || !std::isfinite(hi)) return {0.0, 1.0};
  if (fromZero && lo >= 0.0) lo = 0.0;
  double room = (hi - lo) * 0.05;
  if (room == 0.0) room = std::max(std::fabs(hi) * 0.05, 0.5);
  return {fromZero && lo >= 0.0 ? 0.0 : lo - room, hi + room};
}

QList<QPointF> BucketLine(const Decimated& d, Series s, double& lo, double& hi) {
  const std::vector<Bucket>& buckets = d[s];
  QList<QPointF> points;
  points.reserve(static_cast<qsizetype>(2 * buckets.size()));
  for (size_t k = 0; k < buckets.size(); ++k) {
    const Bucket& b = buckets[k];
    if (b.Count == 0) continue;
    const double t = std::min(d.Centre(k), d.Range.To);
    const double first = b.MinFirst ? b.Min : b.Max;
    const double second = b.MinFirst ? b.Max : b.Min;
    points.append({t, first});
    if (second != first) points.append({t, second});
    lo = std::min(lo, b.Min);
    hi = std::max(hi, b.Max);
  }
  return points;
}

HistoryChart::HistoryChart(const ChartKind& kind, QWidget* parent)
    : QChartView(parent), kind_(kind), time_(new QCategoryAxis), value_(new QValueAxis) {
  auto* c = new QChart;
  c->setTitle(QString::fromUtf8(kind.Title));
  QFont title = c->titleFont();
  title.setBold(true);
  c->setTitleFont(title);
  c->setMargins(QMargins(2, 0, 2, 0));
  c->setBackgroundRoundness(0);
  c->legend()->setVisible(kind.Lines.size() > 1);
  c->legend()->setAlignment(Qt::AlignRight);

  time_->setTitleText(QStringLiteral("UTC"));
  time_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  value_->setTitleText(QString::fromUtf8(kind.Unit));
  value_->setLabelFormat(QStringLiteral("%g"));
  c->addAxis(time_, Qt::AlignBottom);
  c->addAxis(value_, Qt::AlignLeft);
  for (size_t i = 0; i < kind.Lines.size(); ++i) {
    auto* line = new QLineSeries;
    line->setName(QString::fromUtf8(kind.LineNames[i]));
    c->addSeries(line);
    line->attachAxis(time_);
    line->attachAxis(value_);
    lines_.push_back(line);
  }
  setChart(c);
  setRenderHint(QPainter::Antialiasing, false);
  setMinimumHeight(120);
}

int HistoryChart::PlotWidth() const { return static_cast<int>(chart()->plotArea().width()); }

void HistoryChart::Show(const Decimated& d, const std::vector<TimeTick>& ticks) {
  double lo = INFINITY, hi = -INFINITY;
  std::vector<QList<QPointF>> points;
  for (Series s : kind_.Lines) points.push_back(BucketLine(d, s, lo, hi));
  QString unit = QString::fromUtf8(kind_.Unit);
  if (kind_.Metres && std::max(std::fabs(lo), std::fabs(hi)) >= kMetresToKm) {
    for (QList<QPointF>& line : points) {
      for (QPointF& p : line) p.setY(p.y() / 1000.0);
    }
    lo /= 1000.0;
    hi /= 1000.0;
    unit = QStringLiteral("km");
  }
  for (size_t i = 0; i < lines_.size(); ++i) lines_[i]->replace(points[i]);
  if (value_->titleText() != unit) value_->setTitleText(unit);
  const AxisRange r = ValueAxisRange(lo, hi, kind_.FromZero);
  value_->setRange(r.Lo, r.Hi);
  value_->applyNiceNumbers();
  time_->setRange(d.Range.From, d.Range.To);
  SetTicks(ticks);
}

void HistoryChart::SetTicks(const std::vector<TimeTick>& ticks) {
  std::vector<double> places;
  for (const TimeTick& t : ticks) places.push_back(t.At);
  // Replacing the labels lays the axis out again: only when they move.
  if (places == tickPlaces_) return;
  tickPlaces_ = std::move(places);
  for (const QString& label : time_->categoriesLabels()) time_->remove(label);
  // Where the tick before the first would be: outside the range, so no grid
  // line of its own.
  const double step = ticks.size() > 1 ? ticks[1].At - ticks[0].At : 1.0;
  time_->setStartValue(ticks.empty() ? 0.0 : ticks.front().At - step);
  for (const TimeTick& t : ticks) time_->append(t.Label, t.At);
}

}  // namespace stats::history
