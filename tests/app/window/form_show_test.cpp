#include <cmath>

#include "form_fixture.h"

namespace {

using FormShowDrawing = FormFixture;

constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kGreen = 0xFF008000;

bool IsLavender(QRgb c) { return qBlue(c) > 200 && qRed(c) > 150 && qGreen(c) > 150 && qRed(c) > qGreen(c); }
bool IsNavy(QRgb c) { return qBlue(c) < 0x60 && qRed(c) < 0x30 && qBlue(c) > qRed(c) + 0x20; }

TEST_F(FormShowDrawing, SignalChartHasFrameAndGreenScaleRows) {
  TMainForm& form = ShowForm();
  ASSERT_TRUE(form.Image2->HasPicture());
  const QImage& chart = form.Image2->Canvas();
  ASSERT_EQ(chart.size(), QSize(342, 153));
  for (int x : {0, 100, 340}) {
    EXPECT_EQ(chart.pixel(x, 0), kBlack) << x;
    EXPECT_EQ(chart.pixel(x, 152), kBlack) << x;
  }
  for (int y : {0, 20, 140, 152}) {
    EXPECT_EQ(chart.pixel(0, y), kBlack) << y;
    EXPECT_EQ(chart.pixel(341, y), kBlack) << y;
  }
  const int scaleRows[] = {113, 93, 73, 53, 33};
  for (int row : scaleRows) {
    for (int x : {30, 100, 200, 340, 341}) EXPECT_EQ(chart.pixel(x, row), kGreen) << "row " << row << " x " << x;
    EXPECT_EQ(chart.pixel(100, row - 1), kWhite) << row;
    EXPECT_EQ(chart.pixel(100, row + 1), kWhite) << row;
  }
  int greenRows = 0;
  for (int y = 1; y < 152; ++y) greenRows += chart.pixel(200, y) == kGreen;
  EXPECT_EQ(greenRows, 5);
  EXPECT_EQ(chart.pixel(200, 10), kWhite);
  EXPECT_EQ(chart.pixel(200, 140), kWhite);
}

TEST_F(FormShowDrawing, ScaleLabelsSitAboveTheirLines) {
  TMainForm& form = ShowForm();
  const QImage& chart = form.Image2->Canvas();
  for (int i = 1; i <= 5; ++i) {
    const int top = 153 - 20 * i - 25;
    int dark = 0;
    for (int y = top; y < top + 13; ++y) {
      for (int x = 2; x < 18; ++x) dark += qGray(chart.pixel(x, y)) < 100;
    }
    EXPECT_GT(dark, 8) << "label " << 10 * i;
    // Nothing written left of the label's origin besides the frame.
    for (int y = top; y < top + 13; ++y) EXPECT_NE(qGray(chart.pixel(1, y)), 0) << y;
  }
}

TEST_F(FormShowDrawing, SkyChartOnImage1WithCentreAndRings) {
  TMainForm& form = ShowForm();
  ASSERT_TRUE(form.Image1->HasPicture());
  EXPECT_FALSE(form.Image3->HasPicture());
  EXPECT_TRUE(form.Image1->isVisible());
  EXPECT_TRUE(form.Image3->isVisible());
  ASSERT_NE(EarthBitmap, nullptr);
  EXPECT_EQ(EarthBitmap->size(), QSize(182, 181));
  const QImage& sky = form.Image1->Canvas();
  ASSERT_EQ(sky.size(), QSize(182, 180));
  EXPECT_GT(qGray(sky.pixel(91, 90)), 150);  // the axes cross at the centre
  for (int r : {78, 52, 26}) {
    SCOPED_TRACE(r);
    EXPECT_TRUE(IsLavender(sky.pixel(91 + r, 90)));
    EXPECT_TRUE(IsLavender(sky.pixel(91 - r, 90)));
    EXPECT_TRUE(IsLavender(sky.pixel(91, 90 + r)));
    EXPECT_TRUE(IsLavender(sky.pixel(91, 90 - r)));
    // Between the axes, at 250 degrees: one ring pixel near the radius, navy either side.
    const double a = 250 * M_PI / 180;
    bool ring = false;
    for (int dr = -1; dr <= 1; ++dr) {
      ring |= IsLavender(sky.pixel(91 + static_cast<int>(std::lround((r + dr) * std::cos(a))),
                                   90 - static_cast<int>(std::lround((r + dr) * std::sin(a)))));
    }
    EXPECT_TRUE(ring);
    EXPECT_TRUE(IsNavy(sky.pixel(91 + static_cast<int>(std::lround((r - 6) * std::cos(a))),
                                 90 - static_cast<int>(std::lround((r - 6) * std::sin(a))))));
  }
  EXPECT_EQ(sky.pixel(0, 120), kWhite);  // the white line down the left edge
  EXPECT_TRUE(IsNavy(sky.pixel(20, 170)));
}

TEST_F(FormShowDrawing, DrawsOnlyOnce) {
  TMainForm& form = ShowForm();
  form.Image2->Canvas().fill(Qt::red);
  form.hide();
  form.show();
  EXPECT_EQ(form.Image2->Canvas().pixel(100, 113), 0xFFFF0000);
}

}  // namespace
