#include "app/views/sky_view.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "app/views/canvas.h"
#include "drawing_test_util.h"

namespace {

constexpr QRgb kNavy = 0xFF1B2E4C;

struct Position {
  uint16_t azimuth;
  uint16_t elevation;
  QPoint expected;
};

class SkyPositionOf : public ::testing::TestWithParam<Position> {};

TEST_P(SkyPositionOf, FollowsThePolarChart) {
  EXPECT_EQ(SkyPosition(GetParam().azimuth, GetParam().elevation), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Points, SkyPositionOf,
    ::testing::Values(Position{0, 90, {91, 90}}, Position{123, 90, {91, 90}}, Position{0, 0, {91, 12}},
                      Position{90, 0, {169, 90}}, Position{180, 30, {91, 142}}, Position{270, 60, {65, 90}},
                      Position{45, 45, {119, 62}},
                      // Above 90 degrees the radius turns negative: the point crosses the centre.
                      Position{180, 100, {91, 81}}));

TEST(SkyView, ZenithDotFillsItsRectangle) {
  const QPoint p = SkyPosition(0, 90);
  EXPECT_EQ(SkyDotRect(p), QRect(QPoint(81, 80), QPoint(100, 99)));

  CNMEAParser record;
  SetSatellites(record, 1, 3);
  record.GsvSat[0] = {7, 40, 1, 0, 90};
  QImage sky = BlankImage(182, 180, kNavy);
  DrawSkyDots(sky, SatelliteView(record));
  const QRect drawn = BoundsOf(sky, sky.rect(), kClBlack) | BoundsOf(sky, sky.rect(), kClBlue);
  EXPECT_EQ(drawn, QRect(QPoint(81, 80), QPoint(100, 99)));
  EXPECT_EQ(sky.pixel(81, 90), kClBlack);
  EXPECT_EQ(sky.pixel(100, 90), kClBlack);
  EXPECT_EQ(sky.pixel(91, 80), kClBlack);
  EXPECT_EQ(sky.pixel(91, 99), kClBlack);
  EXPECT_EQ(sky.pixel(83, 90), kClBlue);
  EXPECT_EQ(sky.pixel(81, 80), kNavy) << "corner of the rectangle lies outside the disc";
}

TEST(SkyView, DotsAtHorizonPoints) {
  for (const auto& [azimuth, corner] : {std::pair<uint16_t, QPoint>{0, {81, 2}}, {180, {81, 158}}, {270, {3, 80}}}) {
    CNMEAParser record;
    SetSatellites(record, 1, 1);
    record.GsvSat[0] = {3, 20, 0, azimuth, 0};
    QImage sky = BlankImage(182, 180, kNavy);
    DrawSkyDots(sky, SatelliteView(record));
    const QRect disc = BoundsOf(sky, sky.rect(), kClBlack) | BoundsOf(sky, sky.rect(), kClGray);
    EXPECT_EQ(disc, QRect(corner, QSize(20, 20))) << azimuth;
  }
}

TEST(SkyView, LabelIsWhitePrnCentredOnTheDot) {
  for (uint16_t prn : {uint16_t{5}, uint16_t{12}, uint16_t{193}}) {
    CNMEAParser record;
    SetSatellites(record, 1, 3);
    record.GsvSat[0] = {prn, 40, 1, 0, 90};
    QImage sky = BlankImage(182, 180, kNavy);
    DrawSkyDots(sky, SatelliteView(record));
    const QRect label = BoundsOf(sky, sky.rect(), kClWhite);
    ASSERT_FALSE(label.isEmpty()) << prn;
    EXPECT_LE(std::abs(label.center().x() - 91), 1) << prn;
    EXPECT_LE(std::abs(label.center().y() - 90), 2) << prn;
    if (prn < 100) {
      EXPECT_TRUE(QRect(81, 80, 20, 20).contains(label)) << prn;
    }
  }
}

TEST(SkyView, DotColourFollowsFixTypeAndLaterEntriesCoverEarlier) {
  CNMEAParser record;
  SetSatellites(record, 2, 2);
  record.GsvSat[0] = {10, 40, 0, 90, 30};
  record.GsvSat[1] = {11, 40, 1, 90, 30};
  const QPoint p = SkyPosition(90, 30);
  const QPoint inside(p.x() - 8, p.y());
  QImage sky = BlankImage(182, 180, kNavy);
  DrawSkyDots(sky, SatelliteView(record));
  EXPECT_EQ(sky.pixel(inside), kClRed);
  record.GsaFixType = 3;
  DrawSkyDots(sky, SatelliteView(record));
  EXPECT_EQ(sky.pixel(inside), kClBlue);
  record.GsvInView = 1;
  DrawSkyDots(sky, SatelliteView(record));
  EXPECT_EQ(sky.pixel(inside), kClGray);
}

TEST(SkyView, EveryEntryInViewGetsADotUpToTheTableSize) {
  CNMEAParser record;
  SetSatellites(record, 65535, 3);
  for (int i = 0; i < CNMEAParser::kSatTableSize; ++i) {
    record.GsvSat[i] = {static_cast<uint16_t>(i + 1), 30, 1, static_cast<uint16_t>(i * 10), 0};
  }
  QImage sky = BlankImage(182, 180, kNavy);
  DrawSkyDots(sky, SatelliteView(record));
  for (int i = 0; i < CNMEAParser::kSatTableSize; ++i) {
    const QPoint p = SkyPosition(record.GsvSat[i].Azimuth, 0);
    // Each dot's left edge, two rows below its centre, is its own outline or a later dot.
    EXPECT_NE(sky.pixel(QPoint(p.x() - 9, p.y() + 2)), kNavy) << i;
  }
  QImage thirteen = BlankImage(182, 180, kNavy);
  record.GsvInView = 13;
  DrawSkyDots(thirteen, SatelliteView(record));
  EXPECT_NE(thirteen, sky) << "dots from the 13th on are drawn too";
}

TEST(SkyView, ViewStartsFromACleanSkyChart) {
  QImage earth = BlankImage(182, 181, kNavy);
  earth.setPixel(0, 0, kClWhite);
  CNMEAParser record;
  SetSatellites(record, 1, 3);
  record.GsvSat[0] = {9, 40, 1, 0, 90};
  QImage sky = BlankImage(182, 180);
  DrawSkyView(sky, earth, record);
  EXPECT_EQ(sky.pixel(0, 0), kClWhite);
  EXPECT_EQ(sky.pixel(181, 179), kNavy);
  EXPECT_EQ(sky.pixel(84, 90), kClBlue);
  record.GsvInView = 0;
  DrawSkyView(sky, earth, record);
  EXPECT_EQ(sky, earth.copy(0, 0, 182, 180)) << "no satellite stays from the last refresh";
}

TEST(SkyView, BuffersAlternateWithTicks) {
  EXPECT_EQ(SkyBufferToDraw(1), SkyBuffer::Image1);
  EXPECT_EQ(SkyBufferToDraw(2), SkyBuffer::Image3);
  EXPECT_EQ(SkyBufferToDraw(3), SkyBuffer::Image1);
  EXPECT_EQ(SkyBufferToDraw(0), SkyBuffer::Image3);
  EXPECT_EQ(SkyBufferToDraw(-1), SkyBuffer::Image1);
}

TEST(SkyView, TestPatternShowsThreeRingsAndFirstEntryDisc) {
  CNMEAParser record;
  SetSatellites(record, 0, 1);
  record.GsvSat[0] = {4, 0, 0, 0, 90};
  QImage image = BlankImage(182, 180);
  DrawTestPattern(image, record);
  EXPECT_EQ(CountPixels(image, image.rect(), 0xFFFF00FF), 0);
  EXPECT_EQ(image.pixel(0, 90), kClBlack);
  EXPECT_EQ(image.pixel(181, 90), kClBlack);
  EXPECT_EQ(image.pixel(30, 90), kClBlue);
  EXPECT_EQ(image.pixel(151, 90), kClBlue);
  EXPECT_EQ(image.pixel(60, 90), kClRed);
  EXPECT_EQ(image.pixel(121, 90), kClRed);
  EXPECT_EQ(image.pixel(100, 100), kClWhite);
  EXPECT_EQ(image.pixel(1, 1), kClWhite);
  // The disc is centred on the sky position, the chart's centre: (81, 80, 101, 100).
  EXPECT_EQ(image.pixel(81, 90), kClBlack);
  EXPECT_EQ(image.pixel(100, 90), kClBlack);
  EXPECT_EQ(image.pixel(83, 93), kClRed);
  // The PRN in black on the disc's red, centred.
  EXPECT_FALSE(BoundsOf(image, QRect(86, 86, 10, 9), kClBlack).isEmpty());
  EXPECT_EQ(image.pixel(91, 98), kClRed);
}

}  // namespace
