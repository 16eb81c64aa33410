#include "app/views/signal_chart.h"

#include <gtest/gtest.h>

#include "app/views/canvas.h"
#include "drawing_test_util.h"

namespace {

constexpr int kW = 342;
constexpr int kH = 153;

QImage Background() {
  QImage chart = BlankImage(kW, kH);
  DrawSignalChartBackground(chart);
  return chart;
}

TEST(SignalChart, BackgroundIsWhiteFieldBlackFrameAndFiveGreenScaleRows) {
  const QImage chart = Background();
  for (QPoint frame : {QPoint(0, 0), QPoint(kW - 1, 0), QPoint(0, kH - 1), QPoint(kW - 1, kH - 1), QPoint(0, 70),
                       QPoint(kW - 1, 70), QPoint(170, 0), QPoint(170, kH - 1)}) {
    EXPECT_EQ(chart.pixel(frame), kClBlack) << frame.x() << "," << frame.y();
  }
  EXPECT_EQ(chart.pixel(200, 10), kClWhite);
  EXPECT_EQ(chart.pixel(200, 140), kClWhite);
  EXPECT_EQ(CountPixels(chart, chart.rect(), 0xFFFF00FF), 0);
  for (int row : {113, 93, 73, 53, 33}) {
    EXPECT_EQ(chart.pixel(0, row), kClBlack) << row;
    // The scale runs from x = 1 over the frame's last column.
    EXPECT_EQ(CountPixels(chart, QRect(30, row, kW - 30, 1), kClGreen), kW - 30) << row;
    EXPECT_EQ(chart.pixel(kW - 1, row), kClGreen) << row;
  }
  EXPECT_EQ(CountPixels(chart, QRect(30, 0, kW - 30, kH), kClGreen), 5 * (kW - 30));
}

TEST(SignalChart, ScaleLabelsStartAtTheirPointOnWhite) {
  const QImage chart = Background();
  for (int k = 1; k <= 5; ++k) {
    const int top = kH - 20 * k - 25;
    const QRect label = BoundsOf(chart, QRect(1, top - 4, 28, 20), kClBlack);
    ASSERT_FALSE(label.isEmpty()) << k;
    EXPECT_GE(label.left(), 2) << k;
    EXPECT_LE(label.left(), 4) << k;
    EXPECT_GE(label.top(), top) << k;
    EXPECT_LE(label.bottom(), top + 12) << k;
    // The label's white background interrupts its scale row.
    EXPECT_NE(chart.pixel(3, top + 5), kClGreen) << k;
  }
}

struct BarCase {
  uint16_t snr;
  int top;  // first row of the bar; negative when clipped
  bool labelled;
};

class SignalBar : public ::testing::TestWithParam<BarCase> {};

TEST_P(SignalBar, CoversItsRectangleWithBlackOutline) {
  const BarCase c = GetParam();
  CNMEAParser record;
  SetSatellites(record, 3, 3);
  for (auto& sat : record.GsvSat) {
    sat.InSolution = 1;
  }
  const int i = 2;
  record.GsvSat[i].Prn = 7;
  record.GsvSat[i].Snr = c.snr;
  QImage chart = Background();
  DrawSignalBars(chart, SatelliteView(record));

  const int left = 26 * i + 30;
  const int right = 26 * i + 47;
  EXPECT_EQ(SignalBarRect(i, c.snr, kH), QRect(QPoint(left, c.top), QPoint(right, kH - 1)));
  const int top = std::max(c.top, 0);
  // Outline columns and bottom row are black; the top row too when it is on the image.
  EXPECT_EQ(CountPixels(chart, QRect(left, top, 1, kH - top), kClBlack), kH - top);
  EXPECT_EQ(CountPixels(chart, QRect(right, top, 1, kH - top), kClBlack), kH - top);
  EXPECT_EQ(CountPixels(chart, QRect(left, kH - 1, 18, 1), kClBlack), 18);
  if (c.top >= 0) {
    EXPECT_EQ(CountPixels(chart, QRect(left, c.top, 18, 1), kClBlack), 18);
    EXPECT_EQ(CountPixels(chart, QRect(left - 2, 0, 22, c.top), kClBlue), 0) << "nothing above the bar";
  } else {
    EXPECT_EQ(chart.pixel(left + 1, 0), kClBlue) << "the top is clipped";
  }
  EXPECT_EQ(chart.pixel(left - 1, kH - 2), kClWhite) << "nothing left of the bar";
  EXPECT_EQ(chart.pixel(right + 1, kH - 2), kClWhite) << "nothing right of the bar";
  EXPECT_EQ(chart.pixel(left + 1, kH - 2), kClBlue);

  const QRect inside(left + 1, top + 1, 16, kH - top - 2);
  const QRect text = BoundsOf(chart, inside, kClWhite);
  if (c.labelled) {
    ASSERT_FALSE(text.isEmpty());
    EXPECT_GE(text.left(), 26 * i + 32);
    EXPECT_LE(text.left(), 26 * i + 34);
    EXPECT_GE(text.top(), kH - 35);
    EXPECT_LE(text.bottom(), kH - 35 + 12);
  } else {
    EXPECT_TRUE(text.isEmpty()) << "no label at or below 10 dB-Hz";
  }
}

INSTANTIATE_TEST_SUITE_P(Snr, SignalBar,
                         ::testing::Values(BarCase{0, 133, false}, BarCase{10, 113, false}, BarCase{11, 111, true},
                                           BarCase{66, 1, true}, BarCase{67, -1, true}, BarCase{99, -65, true}));

TEST(SignalChart, BarColourBySolutionAndFixType) {
  EXPECT_EQ(SatColour(1, 3), QColor(kClBlue));
  EXPECT_EQ(SatColour(-1, 3), QColor(kClBlue));
  EXPECT_EQ(SatColour(1, 2), QColor(kClRed));
  EXPECT_EQ(SatColour(1, 1), QColor(kClRed));
  EXPECT_EQ(SatColour(1, 0), QColor(kClRed));
  EXPECT_EQ(SatColour(0, 3), QColor(kClGray));
  EXPECT_EQ(SatColour(0, 1), QColor(kClGray));

  CNMEAParser record;
  SetSatellites(record, 2, 2);
  record.GsvSat[0] = {5, 30, 1, 0, 0};
  record.GsvSat[1] = {6, 30, 0, 0, 0};
  QImage chart = Background();
  DrawSignalBars(chart, SatelliteView(record));
  EXPECT_EQ(chart.pixel(31, 100), kClRed);
  EXPECT_EQ(chart.pixel(57, 100), kClGray);
  record.GsaFixType = 3;
  DrawSignalBars(chart, SatelliteView(record));
  EXPECT_EQ(chart.pixel(31, 100), kClBlue);
  EXPECT_EQ(chart.pixel(57, 100), kClGray);
  // Labels stand out: white on blue, black on grey.
  EXPECT_FALSE(BoundsOf(chart, QRect(31, kH - 35, 16, 13), kClWhite).isEmpty());
  EXPECT_FALSE(BoundsOf(chart, QRect(57, kH - 35, 16, 13), kClBlack).isEmpty());
}

QImage ChartWith(uint16_t inView) {
  CNMEAParser record;
  SetSatellites(record, inView, 3);
  for (int i = 0; i < CNMEAParser::kSatTableSize; ++i) {
    record.GsvSat[i] = {static_cast<uint16_t>(i + 1), 45, 1, 0, 0};
  }
  QImage chart = Background();
  DrawSignalBars(chart, SatelliteView(record));
  return chart;
}

TEST(SignalChart, DrawsOnlySatellitesInView) {
  const QImage none = ChartWith(0);
  EXPECT_EQ(none, Background());
  const QImage eight = ChartWith(8);
  EXPECT_EQ(eight.pixel(26 * 7 + 31, 100), kClBlue);
  EXPECT_EQ(eight.pixel(26 * 8 + 31, 100), kClWhite);
}

TEST(SignalChart, BarsFromThe13thOnFallOutsideTheChart) {
  const QImage twelve = ChartWith(12);
  EXPECT_EQ(twelve.pixel(26 * 11 + 31, 100), kClBlue);
  EXPECT_EQ(ChartWith(13), twelve);
  EXPECT_EQ(ChartWith(36), twelve);
  EXPECT_EQ(ChartWith(65535), twelve) << "a count beyond the table draws the table";
}

}  // namespace
