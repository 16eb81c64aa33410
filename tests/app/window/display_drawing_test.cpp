#include <QPainter>

#include "app/views/signal_chart.h"
#include "display_fixture.h"

namespace {

constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kGray = 0xFF808080;
constexpr int kChartH = 153;

class DisplayDrawing : public DisplayFixture {
 protected:
  void SetUp() override {
    DisplayFixture::SetUp();
    ShowForm();
  }

  void SetSat(int i, uint16_t prn, uint16_t snr, int32_t inSolution, uint16_t azimuth, uint16_t elevation) {
    NMEAParser.GsvSat[i] = {prn, snr, inSolution, azimuth, elevation};
  }

  // Refreshes at the given tick count: odd draws the sky on Image1, even on Image3.
  void RefreshAt(int ticks) {
    TimerTicks = ticks;
    Form->UpdateNMEA(1);
  }

  const QImage& Chart() { return Form->Image2->Canvas(); }
  QString Cell(int column) { return Form->StringGrid1->item(0, column)->text(); }
};

// The disc of a satellite centred on (x, y): black outline at its left,
// right, top and bottom, its colour inside.
void ExpectDot(const QImage& sky, int x, int y, QRgb colour) {
  SCOPED_TRACE(testing::Message() << "dot at " << x << "," << y);
  EXPECT_EQ(sky.pixel(x - 10, y), kBlack);
  EXPECT_EQ(sky.pixel(x + 9, y), kBlack);
  EXPECT_EQ(sky.pixel(x, y - 10), kBlack);
  EXPECT_EQ(sky.pixel(x, y + 9), kBlack);
  EXPECT_EQ(sky.pixel(x - 8, y), colour);
  EXPECT_EQ(sky.pixel(x, y + 8), colour);
  EXPECT_NE(sky.pixel(x - 11, y), kBlack);
  EXPECT_NE(sky.pixel(x + 10, y), kBlack);
}

// Each dot sits on the chart's ring of its elevation: 78, 52 and 26 pixels out
// from (91, 90) for 0, 30 and 60 degrees.
TEST_F(DisplayDrawing, SkyDotsSitOnTheRingOfTheirElevation) {
  struct Case {
    uint16_t azimuth, elevation;
    int x, y;
  };
  const Case cases[] = {{0, 90, 91, 90},    {200, 90, 91, 90},  {0, 0, 91, 12},
                        {90, 0, 169, 90},   {180, 30, 91, 142}, {270, 60, 65, 90}};
  for (const Case& c : cases) {
    NMEAParser.GsvInView = 1;
    NMEAParser.GsaFixType = 3;
    SetSat(0, 23, 40, 1, c.azimuth, c.elevation);
    RefreshAt(1);
    ExpectDot(Form->Image1->Canvas(), c.x, c.y, kBlue);
  }
}

TEST_F(DisplayDrawing, ZenithDotFillsExactlyItsRectangle) {
  NMEAParser.GsvInView = 1;
  NMEAParser.GsaFixType = 3;
  SetSat(0, 31, 40, 1, 0, 90);
  RefreshAt(1);
  const QImage& sky = Form->Image1->Canvas();
  QRect drawn;
  for (int y = 70; y < 110; ++y) {
    for (int x = 70; x < 112; ++x) {
      if (sky.pixel(x, y) == kBlue || sky.pixel(x, y) == kBlack) drawn |= QRect(x, y, 1, 1);
    }
  }
  EXPECT_EQ(drawn, QRect(QPoint(81, 80), QPoint(100, 99)));
}

// A GSV cycle that announces more satellites than it lists leaves entries
// without a PRN: they draw nothing anywhere, as if not in view.
TEST_F(DisplayDrawing, EntryWithoutPrnDrawsNothing) {
  NMEAParser.GsaFixType = 3;
  SetSat(0, 5, 40, 1, 90, 30);
  SetSat(1, 17, 35, 0, 200, 10);
  SetSat(2, 9, 30, 0, 0, 0);
  NMEAParser.GsvInView = 3;
  RefreshAt(1);
  NMEAParser.GsvInView = 2;
  RefreshAt(1);
  const QImage sky = Form->Image1->Canvas();
  const QImage chart = Chart();
  SetSat(2, 0, 0, 0, 0, 0);
  NMEAParser.GsvInView = 3;
  RefreshAt(1);
  EXPECT_EQ(Form->Image1->Canvas(), sky) << "no dot for PRN 0";
  EXPECT_EQ(Chart(), chart) << "no bar for PRN 0";
  EXPECT_EQ(Cell(2), "17");
  EXPECT_EQ(Cell(3), "");
}

TEST_F(DisplayDrawing, SkyBuffersAlternateWithTimerTicks) {
  NMEAParser.GsvInView = 1;
  NMEAParser.GsaFixType = 1;
  SetSat(0, 5, 30, 0, 0, 90);  // grey at the zenith
  RefreshAt(1);
  EXPECT_TRUE(Form->Image1->isHidden());
  EXPECT_FALSE(Form->Image3->isHidden());
  ExpectDot(Form->Image1->Canvas(), 91, 90, kGray);

  SetSat(0, 5, 30, 0, 180, 0);  // moved to the south horizon
  RefreshAt(2);
  EXPECT_FALSE(Form->Image1->isHidden());
  EXPECT_TRUE(Form->Image3->isHidden());
  // Shown: the previous refresh's picture; hidden: this one's.
  ExpectDot(Form->Image1->Canvas(), 91, 90, kGray);
  ExpectDot(Form->Image3->Canvas(), 91, 168, kGray);

  RefreshAt(3);
  EXPECT_TRUE(Form->Image1->isHidden());
  ExpectDot(Form->Image1->Canvas(), 91, 168, kGray);
  EXPECT_NE(Form->Image1->Canvas().pixel(91, 90), kGray) << "each refresh starts from a clean sky chart";
}

TEST_F(DisplayDrawing, NoSatellitesLeaveTheBareChartsAndTheHeading) {
  NMEAParser.GsvInView = 2;
  SetSat(0, 3, 40, 0, 0, 90);
  SetSat(1, 4, 40, 0, 90, 30);
  RefreshAt(1);
  NMEAParser.GsvInView = 0;
  RefreshAt(3);
  QImage bare(342, kChartH, QImage::Format_RGB32);
  DrawSignalChartBackground(bare);
  EXPECT_EQ(Chart(), bare);
  QImage sky(182, 180, QImage::Format_RGB32);
  sky.fill(Qt::white);
  QPainter(&sky).drawImage(0, 0, *EarthBitmap);
  EXPECT_EQ(Form->Image1->Canvas(), sky);
  EXPECT_EQ(Cell(0), "PN");
  EXPECT_EQ(Cell(1), "3") << "old numbers stay";
}

TEST_F(DisplayDrawing, BarsRiseTwoPixelsPerDbHzAndCarryLabelsAbove10) {
  NMEAParser.GsvInView = 4;
  NMEAParser.GsaFixType = 3;
  const uint16_t snrs[] = {0, 10, 11, 67};
  for (int i = 0; i < 4; ++i) SetSat(i, static_cast<uint16_t>(i + 1), snrs[i], 1, 0, 45);
  RefreshAt(1);
  const QImage& chart = Chart();
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(testing::Message() << "Snr " << snrs[i]);
    const int left = 26 * i + 30;
    const int right = 26 * i + 47;  // inclusive
    const int top = kChartH - 2 * snrs[i] - 20;
    if (top >= 0) {
      EXPECT_EQ(chart.pixel(left, top), kBlack);
      EXPECT_EQ(chart.pixel(right, top), kBlack);
      EXPECT_NE(chart.pixel(left + 8, top - 1), kBlack);
      EXPECT_NE(chart.pixel(left + 8, top - 1), kBlue);
    } else {
      EXPECT_EQ(chart.pixel(left + 8, 0), kBlue) << "clipped at the top";
    }
    EXPECT_EQ(chart.pixel(left, kChartH - 1), kBlack);
    EXPECT_EQ(chart.pixel(left - 1, 140), kWhite);
    EXPECT_EQ(chart.pixel(right + 1, 140), kWhite);
    EXPECT_EQ(chart.pixel(left + 8, kChartH - 5), kBlue);
    // A label is white text on the blue bar, from (26i + 32, H - 35).
    int lit = 0;
    for (int y = kChartH - 35; y < kChartH - 22; ++y) {
      for (int x = left + 2; x < right; ++x) lit += y > top && chart.pixel(x, y) == kWhite;
    }
    if (snrs[i] > 10) {
      EXPECT_GT(lit, 5);
    } else {
      EXPECT_EQ(lit, 0);
    }
  }
  EXPECT_EQ(chart.pixel(26 * 1 + 38, 113), kBlack) << "Snr 10 tops out on the 10 line";
}

TEST_F(DisplayDrawing, ColourFollowsSolutionAndFixType) {
  struct Case {
    int32_t inSolution;
    uint8_t fixType;
    QRgb colour;
  };
  const Case cases[] = {{1, 3, kBlue}, {1, 2, kRed}, {1, 1, kRed}, {7, 0, kRed}, {0, 3, kGray}, {0, 1, kGray}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.inSolution << " fix " << int{c.fixType});
    NMEAParser.GsvInView = 1;
    NMEAParser.GsaFixType = c.fixType;
    SetSat(0, 12, 30, c.inSolution, 90, 20);
    RefreshAt(1);
    EXPECT_EQ(Chart().pixel(38, 130), c.colour);
    const QPoint p(91 + 61, 90);  // 78 * 70 / 90 = 60.7 pixels east
    ExpectDot(Form->Image1->Canvas(), p.x(), p.y(), c.colour);
  }
}

TEST_F(DisplayDrawing, MoreThanTwelveSatellitesAllGetDots) {
  NMEAParser.GsvInView = 14;
  NMEAParser.GsaFixType = 3;
  for (int i = 0; i < 14; ++i) SetSat(i, static_cast<uint16_t>(i + 1), 30, 0, static_cast<uint16_t>(30 + i * 8), 10);
  SetSat(12, 13, 30, 1, 0, 90);  // the 13th at the zenith, blue
  SetSat(13, 14, 30, 1, 180, 0);  // the 14th on the south horizon
  RefreshAt(1);
  ExpectDot(Form->Image1->Canvas(), 91, 90, kBlue);
  ExpectDot(Form->Image1->Canvas(), 91, 168, kBlue);
  for (int column = 1; column <= 12; ++column) EXPECT_EQ(Cell(column), QString::number(column));
  EXPECT_EQ(Form->StringGrid1->columnCount(), 13);
  // The 12th bar is the last one on the chart; the 13th would start at x = 342.
  EXPECT_EQ(Chart().pixel(26 * 11 + 38, 130), kGray);
  EXPECT_EQ(Chart().pixel(340, 130), kWhite);
}

TEST_F(DisplayDrawing, MoreThan36InViewDrawsTheWholeTable) {
  NMEAParser.GsvInView = 40;
  NMEAParser.GsaFixType = 3;
  for (int i = 0; i < 36; ++i) SetSat(i, static_cast<uint16_t>(i + 1), 20, 0, 90, 0);
  SetSat(35, 36, 20, 1, 0, 90);
  RefreshAt(1);
  ExpectDot(Form->Image1->Canvas(), 91, 90, kBlue);
  EXPECT_EQ(Cell(12), "12");
}

TEST_F(DisplayDrawing, GridColumnsKeepOldNumbersWhenTheCountDrops) {
  NMEAParser.GsvInView = 10;
  for (int i = 0; i < 10; ++i) SetSat(i, static_cast<uint16_t>(i + 1), 30, 0, 0, 45);
  RefreshAt(1);
  NMEAParser.GsvInView = 8;
  for (int i = 0; i < 8; ++i) SetSat(i, static_cast<uint16_t>(i + 21), 30, 0, 0, 45);
  RefreshAt(2);
  for (int column = 1; column <= 8; ++column) EXPECT_EQ(Cell(column), QString::number(20 + column));
  EXPECT_EQ(Cell(9), "9");
  EXPECT_EQ(Cell(10), "10");
  EXPECT_EQ(Cell(11), "");
  // Only eight bars: the ninth column's bar position is white.
  EXPECT_EQ(Chart().pixel(26 * 8 + 38, 130), kWhite);
  EXPECT_EQ(Chart().pixel(26 * 7 + 38, 130), kGray);
}

TEST_F(DisplayDrawing, GridNumbersShowInTheFixColour) {
  NMEAParser.GsvInView = 12;
  for (int i = 0; i < 12; ++i) SetSat(i, static_cast<uint16_t>(10 + i), 30, 1, 0, 45);
  auto pixelsLike = [this](auto test) {
    const QImage shown = Form->StringGrid1->grab().toImage();
    int n = 0;
    for (int y = 0; y < shown.height(); ++y) {
      for (int x = 26; x < shown.width(); ++x) n += test(QColor(shown.pixel(x, y)));
    }
    return n;
  };
  auto reddish = [](const QColor& c) { return c.red() > 180 && c.green() < 90 && c.blue() < 90; };
  auto dark = [](const QColor& c) { return c.red() < 60 && c.green() < 60 && c.blue() < 60; };
  NMEAParser.GsaFixType = 1;
  RefreshAt(1);
  EXPECT_GT(pixelsLike(reddish), 50);
  EXPECT_EQ(pixelsLike(dark), 0);
  NMEAParser.GsaFixType = 3;
  RefreshAt(2);
  EXPECT_EQ(pixelsLike(reddish), 0);
  EXPECT_GT(pixelsLike(dark), 50);
}

TEST_F(DisplayDrawing, TestDrawingOnImage1ShowsRingsAndEntryZero) {
  Form->Image1->setVisible(false);
  NMEAParser.GsvInView = 0;  // entry 0 is drawn whatever the count
  SetSat(0, 7, 0, 0, 0, 90);
  Form->Button2Click();
  const QImage& image = Form->Image1->Canvas();
  EXPECT_EQ(image.pixel(0, 90), kBlack);
  EXPECT_EQ(image.pixel(30, 90), kBlue);
  EXPECT_EQ(image.pixel(60, 90), kRed);
  EXPECT_EQ(image.pixel(15, 90), kWhite);
  EXPECT_EQ(image.pixel(45, 90), kWhite);
  EXPECT_EQ(image.pixel(2, 2), kWhite);
  // A red disc centred on the chart's centre (91, 90), outlined in black, labelled in black.
  EXPECT_EQ(image.pixel(81, 90), kBlack);
  EXPECT_EQ(image.pixel(100, 90), kBlack);
  EXPECT_EQ(image.pixel(91, 98), kRed);
  int dark = 0;
  for (int y = 84; y < 97; ++y) {
    for (int x = 85; x < 98; ++x) dark += image.pixel(x, y) == kBlack;
  }
  EXPECT_GT(dark, 5);
}

TEST_F(DisplayDrawing, TestDrawingAfterARefreshLabelsInWhite) {
  NMEAParser.GsvInView = 1;
  SetSat(0, 7, 30, 0, 0, 90);
  RefreshAt(1);
  Form->Button2Click();
  const QImage& image = Form->Image1->Canvas();
  int white = 0;
  for (int y = 84; y < 97; ++y) {
    for (int x = 85; x < 98; ++x) white += image.pixel(x, y) == kWhite;
  }
  EXPECT_GT(white, 5) << "the dot labels left the canvas's font white";
}

}  // namespace
