#include "history_chart.h"

#include <QFontMetrics>
#include <QGraphicsLayout>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QLegend>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <cmath>

namespace stats::history {

namespace {

constexpr double kMetresToKm = 10000.0;  // from here on, kilometres
constexpr int kMostValueTicks = 5;
constexpr int kSideMargin = 2;
// Qt Charts' room around a line of text, and the least height of a plot, pixels.
constexpr int kLinePadding = 16;
constexpr int kLeastPlot = 50;

// The smallest of 1, 2 and 5 times a power of ten that cuts `span` into at
// most kMostValueTicks - 1 steps.
double RoundStep(double span) {
  const double raw = span / (kMostValueTicks - 1);
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0, 10.0}) {
    if (m * power >= raw) return m * power;
  }
  return 10.0 * power;
}

}  // namespace

AxisRange ValueAxisRange(double lo, double hi, bool fromZero, double leastSpan) {
  if (!(lo <= hi) || !std::isfinite(lo) || !std::isfinite(hi)) return {0.0, 1.0, 3};
  if (fromZero && lo >= 0.0) lo = 0.0;
  leastSpan = std::max(leastSpan, 1e-9);
  if (hi - lo < leastSpan) {
    const double room = (leastSpan - (hi - lo)) / 2.0;
    if (fromZero && lo == 0.0) {
      hi = leastSpan;
    } else {
      lo -= room;
      hi += room;
    }
  }
  const double step = RoundStep(hi - lo);
  const double from = std::floor(lo / step) * step, to = std::ceil(hi / step) * step;
  return {from, to, static_cast<int>(std::lround((to - from) / step)) + 1};
}

QList<QPointF> BucketLine(const Decimated& d, Series s, double first, double& lo, double& hi) {
  QList<QPointF> points;
  points.reserve(static_cast<qsizetype>(2 * d.Rows.size()));
  for (size_t k = 0; k < d.Rows.size(); ++k) {
    const Bucket& b = d.At(k, s);
    if (b.Count == 0) continue;
    const double x = first + static_cast<double>(k) + 0.5;
    // A level run draws as its two ends: the chart lays out and strokes
    // every point it is given, and satellite counts and HDOP stay level for
    // minutes.
    const auto add = [&points](QPointF p) {
      const qsizetype n = points.size();
      if (n >= 2 && points[n - 1].y() == p.y() && points[n - 2].y() == p.y()) {
        points[n - 1].setX(p.x());
      } else {
        points.append(p);
      }
    };
    add({x, b.MinFirst ? b.Min : b.Max});
    if (b.Max != b.Min) add({x, b.MinFirst ? b.Max : b.Min});
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
  c->setMargins(QMargins(kSideMargin, 0, kSideMargin, 0));
  c->layout()->setContentsMargins(0, 0, 0, 0);
  c->setBackgroundRoundness(0);
  c->legend()->setVisible(kind.Lines.size() > 1);
  c->legend()->setAlignment(Qt::AlignTop);

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
  // Room for the title, the legend and the time labels, and a plot tall
  // enough for the value axis' title, which stands along it; Qt Charts cuts
  // to "..." what does not fit.
  const int line = QFontMetrics(c->titleFont()).height() + kLinePadding;
  const int lines = kind.Lines.size() > 1 ? 3 : 2;
  const int unit = QFontMetrics(value_->titleFont()).horizontalAdvance(value_->titleText()) + 2 * kLinePadding;
  setMinimumHeight(lines * line + std::max(unit, kLeastPlot));
}

int HistoryChart::PlotWidth() const { return static_cast<int>(chart()->plotArea().width()); }

int HistoryChart::LabelWidth() const {
  const QFontMetricsF metrics(value_->labelsFont());
  const int ticks = std::max(value_->tickCount(), 2);
  double widest = 0.0;
  for (int i = 0; i < ticks; ++i) {
    const double v = value_->min() + (value_->max() - value_->min()) * i / (ticks - 1);
    widest = std::max(widest, metrics.horizontalAdvance(QString::asprintf("%g", v)));
  }
  // Qt Charts gives the labels at least the room of an ellipsis, a pixel less
  // than what it gives the widest label.
  return static_cast<int>(std::lround(std::max(widest + 1.0, metrics.horizontalAdvance(QStringLiteral("...")))));
}

void HistoryChart::SetLeftRoom(int pixels) {
  if (pixels == leftRoom_) return;
  leftRoom_ = pixels;
  chart()->setMargins(QMargins(kSideMargin + pixels, 0, kSideMargin, 0));
}

void HistoryChart::Show(const Decimated& d, const std::vector<TimeTick>& ticks) {
  double lo = INFINITY, hi = -INFINITY;
  std::vector<QList<QPointF>> points;
  const double first = std::round(d.Start / d.Width);
  for (Series s : kind_.Lines) points.push_back(BucketLine(d, s, first, lo, hi));
  QString unit = QString::fromUtf8(kind_.Unit);
  if (kind_.Metres && lo <= hi && std::max(std::fabs(lo), std::fabs(hi)) >= kMetresToKm) {
    for (QList<QPointF>& line : points) {
      for (QPointF& p : line) p.setY(p.y() / 1000.0);
    }
    lo /= 1000.0;
    hi /= 1000.0;
    unit = QStringLiteral("km");
  }
  if (value_->titleText() != unit) value_->setTitleText(unit);
  // Each change of a range lays the old lines out again: empty them first.
  const AxisRange r = ValueAxisRange(lo, hi, kind_.FromZero, kind_.LeastSpan);
  const double last = first + static_cast<double>(d.Rows.size());
  if (time_->min() != first || time_->max() != last || value_->min() != r.Lo || value_->max() != r.Hi) {
    for (QLineSeries* line : lines_) line->clear();
    time_->setRange(first, last);
    value_->setRange(r.Lo, r.Hi);
  }
  if (value_->tickCount() != r.Ticks) value_->setTickCount(r.Ticks);
  for (size_t i = 0; i < lines_.size(); ++i) lines_[i]->replace(points[i]);
  SetTicks(d, ticks);
}

void HistoryChart::SetTicks(const Decimated& d, const std::vector<TimeTick>& ticks) {
  std::vector<std::pair<double, QString>> shown;
  for (const TimeTick& t : ticks) shown.emplace_back(t.At / d.Width, t.Label);
  // Replacing the labels lays the axis out again: only when they change.
  if (shown == shownTicks_) return;
  shownTicks_ = std::move(shown);
  for (const QString& label : time_->categoriesLabels()) time_->remove(label);
  // Where the tick before the first would be: outside the range, so no grid
  // line of its own.
  const double step = shownTicks_.size() > 1 ? shownTicks_[1].first - shownTicks_[0].first : 1.0;
  time_->setStartValue(shownTicks_.empty() ? 0.0 : shownTicks_.front().first - step);
  for (const auto& [at, label] : shownTicks_) time_->append(label, at);
}

}  // namespace stats::history
