#include <gtest/gtest.h>

#include <QApplication>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <cmath>

#include "accuracy_figures.h"
#include "circle_recording.h"
#include "history_chart.h"
#include "history_tab.h"
#include "sample_collector.h"

namespace stats::history {
namespace {

constexpr size_t kHorizontal = 3, kUp = 4;

struct Receiver {
  CNMEAParser parser;
  SampleCollector samples{parser};
  AccuracyFigures figures;

  void Refresh(HistoryTab& tab, const std::optional<FixedPoint>& fixed) {
    figures = ComputeFigures(samples.Samples(), 0, 0, fixed);
    tab.Refresh({parser, samples, figures});
  }
};

QList<QPointF> Line(const HistoryTab& tab, size_t chart) {
  return static_cast<QLineSeries*>(tab.Chart(chart).chart()->series().front())->points();
}

// Every point of a chart's line, and its value axis, are finite, and the axis
// holds the points.
void ExpectFiniteCharts(const HistoryTab& tab, const char* what) {
  for (size_t c = 0; c < HistoryTab::kChartCount; ++c) {
    const auto* axis = static_cast<QValueAxis*>(tab.Chart(c).chart()->axes(Qt::Vertical).front());
    EXPECT_TRUE(std::isfinite(axis->min()) && std::isfinite(axis->max()) && axis->min() < axis->max()) << what;
    for (const QPointF& p : Line(tab, c)) {
      EXPECT_TRUE(std::isfinite(p.x()) && std::isfinite(p.y())) << what;
      EXPECT_TRUE(p.y() >= axis->min() && p.y() <= axis->max()) << what << " chart " << c;
    }
  }
}

// The smallest and largest value a chart's line draws.
std::pair<double, double> Extremes(const HistoryTab& tab, size_t chart) {
  const QList<QPointF> line = Line(tab, chart);
  const auto [lo, hi] = std::minmax_element(line.begin(), line.end(), [](auto& a, auto& b) { return a.y() < b.y(); });
  return {lo->y(), hi->y()};
}

TEST(HistoryTab, ErrorsFollowTheReference) {
  HistoryTab tab;
  Receiver r;
  Feed(r.parser, CircleRecording({51.4779, -0.0015, 46.0}, {{3.0, 24}}, 0.5));
  // Hidden, the tab keeps the samples and draws them once it is shown.
  r.Refresh(tab, std::nullopt);
  EXPECT_TRUE(Line(tab, kHorizontal).isEmpty());
  tab.show();
  // About the mean, every fix is 3 m away and half a metre up or down.
  EXPECT_NEAR(Extremes(tab, kHorizontal).first, 3.0, 1e-3);
  EXPECT_NEAR(Extremes(tab, kHorizontal).second, 3.0, 1e-3);
  EXPECT_NEAR(Extremes(tab, kUp).first, -0.5, 1e-3);
  EXPECT_NEAR(Extremes(tab, kUp).second, 0.5, 1e-3);
  // A level line is drawn as its two ends, over the same span as the others.
  const QList<QPointF> level = Line(tab, kHorizontal), upLine = Line(tab, kUp);
  ASSERT_EQ(level.size(), 2);
  EXPECT_EQ(level.front().x(), upLine.front().x());
  EXPECT_EQ(level.back().x(), upLine.back().x());
  // From a point the user gives, the same samples' offsets as the figures take them.
  r.Refresh(tab, FixedPoint{51.4780, -0.0016, 40.0});
  std::vector<double> d, up;
  r.samples.Samples().ForEach([&](const StatsSample& s) {
    const Enu e = SampleOffsets(*r.figures.Reference, s);
    d.push_back(std::hypot(e.East, e.North));
    up.push_back(e.Up);
  });
  EXPECT_NEAR(Extremes(tab, kHorizontal).first, *std::min_element(d.begin(), d.end()), 1e-3);
  EXPECT_NEAR(Extremes(tab, kHorizontal).second, *std::max_element(d.begin(), d.end()), 1e-3);
  EXPECT_NEAR(Extremes(tab, kUp).first, *std::min_element(up.begin(), up.end()), 1e-3);
  EXPECT_NEAR(Extremes(tab, kUp).second, *std::max_element(up.begin(), up.end()), 1e-3);
  EXPECT_GT(d.front(), 10.0) << "the reference moved";
  ExpectFiniteCharts(tab, "fixed reference");
}

TEST(HistoryTab, AxesStayFiniteWhateverTheSamples) {
  struct Case {
    const char* name;
    std::string nmea;
    const char* horizontalUnit;
  };
  const Case cases[] = {
      {"no samples", "", "m"},
      {"one sample", Sentence("GPGGA,120000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,M,,") + "\r\n", "m"},
      {"across the globe",
       Sentence("GPGGA,120000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,M,,") + "\r\n" +
           Sentence("GPGGA,120001,4807.038,S,16831.000,W,1,,,,M,,M,,") + "\r\n",
       "km"},
  };
  for (const Case& c : cases) {
    HistoryTab tab;
    tab.resize(800, 900);
    tab.show();
    Receiver r;
    Feed(r.parser, c.nmea);
    r.Refresh(tab, std::nullopt);
    ExpectFiniteCharts(tab, c.name);
    // Whatever their labels, the charts stacked above each other line their times up.
    QApplication::processEvents();
    for (size_t i = 1; i < HistoryTab::kChartCount; ++i) {
      EXPECT_NEAR(tab.Chart(i).chart()->plotArea().left(), tab.Chart(0).chart()->plotArea().left(), 2.0) << c.name;
    }
    EXPECT_EQ(tab.Chart(kHorizontal).chart()->axes(Qt::Vertical).front()->titleText(), c.horizontalUnit) << c.name;
    tab.Restart();
    ExpectFiniteCharts(tab, c.name);
  }
}

}  // namespace
}  // namespace stats::history
